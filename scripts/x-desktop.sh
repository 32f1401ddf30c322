# Sourced by the scripts that work a program on a real X server as an operator
# would: an X server without a screen (Xvfb) that picks a free display itself, so
# such scripts can run side by side, under a real window manager (openbox).
# The caller provides `scratch` (a folder for the servers' logs) and the array
# `pids` (what its clean-up kills).

# start_desktop [WIDTHxHEIGHT]: starts the server (800x600 unless given) and the
# window manager, exports DISPLAY and sets `xvfb` to the server's pid.
start_desktop() {
  Xvfb -displayfd 3 -screen 0 "${1:-800x600}x24" -nolisten tcp 3>"$scratch/display" >"$scratch/xvfb.log" 2>&1 &
  xvfb=$!
  pids+=("$xvfb")
  for _ in $(seq 100); do [[ -s $scratch/display ]] && break; sleep 0.1; done
  export DISPLAY=:$(head -n 1 "$scratch/display")
  for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
  openbox --sm-disable >"$scratch/openbox.log" 2>&1 &
  pids+=($!)
  # A window mapped while openbox is still starting can stay unmapped: the
  # program's first window comes after the window manager has settled.
  sleep 1
}

# find_window PATTERN [TENTHS]: prints the id of the newest visible window whose
# title matches PATTERN once there is one; fails after TENTHS tenths of a second
# (300 unless given).
find_window() {
  local id
  for _ in $(seq "${2:-300}"); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1) && [[ -n $id ]] && {
      echo "$id"
      return 0
    }
    sleep 0.1
  done
  return 1
}
