#!/usr/bin/env bash
# The Windows programs against a real kernel: wine, copied into the qemu VM of
# tools/qemu-scsi, with the wine drive E: mapped to scsi_debug's sg node (posing as
# the KESTREL MX-R4410):
#  1. pass_through_probe.exe, 64-bit and 32-bit, sends INQUIRY, TEST UNIT READY,
#     WRITE BUFFER and two TEST UNIT READY through
#     DeviceIoControl(IOCTL_SCSI_PASS_THROUGH_DIRECT); what it got back and the CDBs
#     scsi_debug logged are checked.
#  2. aspi_probe.exe (32-bit) binds WNASPI32 by ordinal as Morvantide4 does, asks
#     for the adapters and sends an INQUIRY to each target: once with wine's own
#     WNASPI32 (wine 8's sends nothing to any device: its answers are recorded), once
#     with WNASPI32.dll of aspi_bridge (an ASPI manager of ours over the
#     pass-through requests on E:), whose INQUIRY must reach scsi_debug.
#  3. With -f, MorvantideNT.exe flashing E: and the 32-bit Morvantide4.exe
#     flashing 0:0:0 through the bridge, each through its whole dialog on a virtual
#     X display in the guest, windows-dialog-operator.sh playing the operator, each
#     trace compared with the kernel's log command for command. (Morvantide4 stops
#     at the unit attention scsi_debug raises after a mode 4 piece: it does not
#     repeat a request on UNIT ATTENTION, so that comparison reports a failure.)
#  4. With -u, every 32-bit test program of BUILD32 (guest-tests.sh), each judged
#     by its exit status.
#
# Usage: tools/wine_vm_check/wine-vm-check.sh [-o OUTDIR] [-f] [-u] [-k DIR] [BUILD64 [BUILD32]]
#   BUILD64    the windows64 build (default build/windows64) with the target
#              pass_through_probe (and, for -f, MorvantideNT and morvantide-package)
#   BUILD32    the windows32 build (default build/windows32) with the targets
#              pass_through_probe, aspi_probe and aspi_bridge (and, for -f, Morvantide4)
#   -f         also the dialog attempts (see above)
#   -u         also the 32-bit test programs (BUILD32 fully built)
#   -o OUTDIR  keep the VM's results (run-vm.sh's -o)
#   -k DIR     only make the guest's tree, in DIR, for runs by hand:
#              QSH_BINS="bash Xvfb xkbcomp xdotool xwd" tools/qemu-scsi/run-vm.sh \
#                -m 2048 -H none DIR sh -c '...'   (with QEMU_EXTRA="-cpu max,-smap")
# Needs the host's wine64 and wine32 (Debian's wine 8), xvfb, xdotool, x11-apps and
# the qemu-scsi harness' packages. Opt-in (make windows-vm): not part of ctest or
# .ci/run (TCG makes it slow, see the README).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=
dialogs=
keep=
tests=
while getopts "o:fuk:" opt; do
  case $opt in
    o) out=$OPTARG ;;
    k) keep=$OPTARG ;;
    f) dialogs=1 ;;
    u) tests=1 ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
build=$(realpath "${1:-$root/build/windows64}")
build32=$(realpath "${2:-$root/build/windows32}")
fail() { echo "wine-vm-check: $*" >&2; exit 1; }
probe=$build/tools/wine_vm_check/pass_through_probe.exe
probe32=$build32/tools/wine_vm_check/pass_through_probe.exe
aspi_probe=$build32/tools/wine_vm_check/aspi_probe.exe
bridge=$build32/tools/wine_vm_check/WNASPI32.dll
program=$build/apps/MorvantideNT.exe
program4=$build32/apps/Morvantide4.exe
packager=$build/tools/package_tool/morvantide-package.exe
needed=("$probe" "$probe32" "$aspi_probe" "$bridge")
[[ -z $dialogs$tests ]] || needed+=("$program" "$packager" "$program4")
for f in "${needed[@]}"; do
  [[ -f $f ]] || { echo "wine-vm-check: no $f (cmake --build --preset windows64/windows32 --target ...)" >&2; exit 2; }
done
export QSH_CACHE=${QSH_CACHE:-/work/qemu-cache}

bindir=/usr/lib/wine
dlldir=/usr/lib/x86_64-linux-gnu/wine
dlldir32=/usr/lib/i386-linux-gnu/wine
[[ -x $bindir/wine64 && -x $bindir/wineserver64 ]] || { echo "wine-vm-check: wine64 is not installed" >&2; exit 2; }
[[ -f $bindir/wine && -d $dlldir32/i386-windows ]] || { echo "wine-vm-check: wine32:i386 is not installed" >&2; exit 2; }
wine() { "$bindir/wine64" "$@"; }
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
seconds() { date +%s.%N; }
since() { awk "BEGIN{printf \"%.1f\", $(seconds)-$1}"; }

stage=$(mktemp -d "${TMPDIR:-/tmp}/wine-vm-check-XXXXXX")
cleanup() {
  for p in "$stage"/*-prefix; do [[ -d $p ]] && WINEPREFIX=$p "$bindir/wineserver64" -k 2>/dev/null || true; done
  rm -rf "$stage"
}
trap cleanup EXIT
host_start=$(seconds)

# The registry of a prefix that wineboot made on the host, kept in the cache: the
# guest finds it up to date and does not build a prefix under TCG.
template=$QSH_CACHE/wine-vm-check/prefix-x11-$(wine --version | tr -c 'a-zA-Z0-9.\n-' _)
if [[ ! -f $template/system.reg ]]; then
  echo "wine-vm-check: making the registry template $template" >&2
  WINEPREFIX=$stage/init-prefix wine wineboot --init >/dev/null 2>&1
  WINEPREFIX=$stage/init-prefix "$bindir/wineserver64" -w
  mkdir -p "$template.new"
  cp -a "$stage/init-prefix"/{system.reg,user.reg,userdef.reg,.update-timestamp} "$template.new/"
  rm -rf "$stage/init-prefix" "$template"
  mv "$template.new" "$template"
fi

# A prefix from the template: the registry, C:, and every builtin module linked
# from system32 (64-bit) and syswow64 (32-bit) under the name a process is started
# by. $1 the prefix, $2 where wine's files are (/ on the host, /test/wine in the guest).
make_prefix() {
  mkdir -p "$1/dosdevices" "$1/drive_c/windows/system32/drivers" "$1/drive_c/windows/syswow64/drivers"
  cp -a "$template"/{system.reg,user.reg,userdef.reg,.update-timestamp} "$1/"
  ln -s ../drive_c "$1/dosdevices/c:"
  local f b dir
  for dir in "$dlldir/x86_64-windows:system32" "$dlldir32/i386-windows:syswow64"; do
    for f in "${dir%:*}"/*; do
      b=${f##*/}
      case $b in
        *.sys) ln -s "${2%/}$f" "$1/drive_c/windows/${dir#*:}/drivers/$b" ;;
        *) ln -s "${2%/}$f" "$1/drive_c/windows/${dir#*:}/$b" ;;
      esac
    done
  done
}

# Which builtin modules the runs load, found by the same runs on the host (64-bit;
# the host's kernel may not run 32-bit programs, so the 32-bit runs get the same
# modules' 32-bit builds and the ASPI manager): the probe on E: (a folder here, so
# its requests fail harmlessly) and MorvantideNT flashing its emulated drive on a
# virtual display, the operator played as in the guest. The emulated run also
# checks the operator and the package before the VM starts.
trace_prefix=$stage/trace-prefix
make_prefix "$trace_prefix" /
mkdir -p "$stage/work"
ln -sfn "$stage/work" "$trace_prefix/dosdevices/e:"
cd "$stage/work"
export WINEPREFIX=$trace_prefix
WINEDEBUG=+loaddll wine "$probe" '\\.\E:' 512 >/dev/null 2>"$stage/loaddll-probe.txt" || true
# (the test programs need the dialog's modules too)
if [[ -n $dialogs$tests ]]; then
  wine "$packager" make R4410.OUC --model MX-R4410 --generate 4410 --regions 1,2,3 >/dev/null
  WINEDEBUG=+loaddll xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    wine64=$1 program=$2 operator=$3
    "$wine64" "$program" --simulate --trace trace.log >/dev/null &
    pid=$!
    "$operator" MorvantideNT || { kill $pid; exit 1; }
    wait $pid' - "$bindir/wine64" "$program" "$root/scripts/windows-dialog-operator.sh" \
    >"$stage/simulate-operator.txt" 2>"$stage/loaddll-program.txt" || {
    grep -v ':trace:loaddll:' "$stage/loaddll-program.txt" "$stage/simulate-operator.txt" >&2
    fail "the emulated run on the host failed"; }
  rm -f trace.log
fi
"$bindir/wineserver64" -w
unset WINEPREFIX
cd "$root"
mapfile -t modules < <(cat "$stage"/loaddll-*.txt |
  sed -n 's/.*Loaded L"C:\\\\windows\\\\system32\\\\\(drivers\\\\\)\{0,1\}\([^"]*\)".*/\2/p' | tr 'A-Z' 'a-z' | sort -u)
[[ ${#modules[@]} -gt 10 ]] || { cat "$stage"/loaddll-*.txt >&2; fail "could not list the modules wine loads"; }

# The guest: wine's files under /test/wine at their own paths (the loader finds
# ntdll.so and its data relative to itself, the server through WINESERVER), the
# prefix, the programs, the package, and the libraries wine opens by name.
guest=$stage/guest
make_prefix "$guest/prefix" /test/wine
copy() { mkdir -p "$guest/wine$(dirname "$1")"; cp -L "$1" "$guest/wine$1"; }
copy "$bindir/wine64"
copy "$bindir/wine"
copy "$bindir/wineserver64"
copy "$dlldir/x86_64-unix/ntdll.so"
copy "$dlldir32/i386-unix/ntdll.so"
# loaded before the trace starts
for m in ntdll.dll apisetschema.dll; do copy "$dlldir/x86_64-windows/$m"; copy "$dlldir32/i386-windows/$m"; done
# wine's ASPI manager and the modules it imports, directly or not, for the 32-bit
# ASPI probe
declare -A aspi=([wnaspi32.dll]=1)
queue=(wnaspi32.dll)
while ((${#queue[@]})); do
  for m in $(objdump -p "$dlldir32/i386-windows/${queue[0]}" 2>/dev/null | awk '/DLL Name/ {print tolower($3)}'); do
    [[ -n ${aspi[$m]:-} ]] || { aspi[$m]=1; queue+=("$m"); }
  done
  queue=("${queue[@]:1}")
done
for m in "${modules[@]}" "${!aspi[@]}"; do
  if [[ -f $dlldir/x86_64-windows/$m ]]; then copy "$dlldir/x86_64-windows/$m"; fi
  if [[ -f $dlldir32/i386-windows/$m ]]; then copy "$dlldir32/i386-windows/$m"; fi
  # a module's Unix half, where it has one
  if [[ -f $dlldir/x86_64-unix/${m%.*}.so ]]; then copy "$dlldir/x86_64-unix/${m%.*}.so"; fi
  if [[ -f $dlldir32/i386-unix/${m%.*}.so ]]; then copy "$dlldir32/i386-unix/${m%.*}.so"; fi
done
mkdir -p "$guest/wine/usr/share/wine" "$guest/lib" "$guest/lib32"
cp -a /usr/share/wine/nls /usr/share/wine/wine.inf /usr/share/wine/fonts "$guest/wine/usr/share/wine/"
# Libraries wine opens by name (not listed as needed, so run-vm.sh does not copy them).
# win32u needs fontconfig: without it wine 8's font setup calls a null pointer in
# the first user32 call of every process, before the process is given its window
# station and desktop, so no window can be made ("Cannot get server thread queue").
for lib in libgcc_s.so.1 libfreetype.so.6 libfontconfig.so.1 libXfixes.so.3 libXcursor.so.1 libXi.so.6 libXcomposite.so.1 \
  libXinerama.so.1 libXrender.so.1 libXrandr.so.2 libXxf86vm.so.1; do
  path=$(ldconfig -p | awk -v l="$lib" '$1 == l && /x86-64/ {p = $NF} END {print p}')
  [[ -n $path ]] && cp -L "$path" "$guest/lib/"
done
# The 32-bit side's libraries: what the loader and the Unix halves need, found in
# their dynamic sections (ldd cannot run them where the kernel refuses 32-bit
# programs), with the dynamic loader.
declare -A have32=()
need32() {
  local name path
  for name in $(objdump -p "$1" | awk '$1 == "NEEDED" {print $2}'); do
    [[ -n ${have32[$name]:-} || -f $dlldir32/i386-unix/$name ]] && continue
    have32[$name]=1
    for path in /lib/i386-linux-gnu/"$name" /usr/lib/i386-linux-gnu/"$name"; do
      [[ -f $path ]] || continue
      cp -L "$path" "$guest/lib32/"
      need32 "$path"
      continue 2
    done
    fail "no 32-bit $name (needed by $1)"
  done
}
for f in "$bindir/wine" "$guest/wine$dlldir32"/i386-unix/*.so /usr/lib/i386-linux-gnu/lib{freetype.so.6,fontconfig.so.1}; do
  need32 "$f"
done
# libgcc_s is opened by name by the C library's pthread_exit, which wine's threads end with
cp -L /lib/ld-linux.so.2 /usr/lib/i386-linux-gnu/lib{freetype.so.6,fontconfig.so.1} "$guest/lib32/"
cp -L "$(ldconfig -p | awk '$1 == "libgcc_s.so.1" && !/x86-64/ {print $NF; exit}')" "$guest/lib32/"
# Fonts: Debian's wine brings none of its own (they are in fonts-wine) and finds
# the system's through fontconfig; without any, every text is measured empty and
# the dialogs shrink to their icons. The host's choices for the generic families go
# in, with a configuration (guest.sh names it) that lists only them.
mkdir "$guest/fonts"
for family in sans sans:bold serif monospace; do fc-match -f '%{file}\n' "$family"; done | sort -u |
  while IFS= read -r f; do cp -L "$f" "$guest/fonts/"; done
cat >"$guest/fonts.conf" <<'EOF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig><dir>/test/fonts</dir><cachedir>/tmp/fontconfig</cachedir></fontconfig>
EOF
# Xvfb's keyboard descriptions, Xlib's locale descriptions (without them neither
# wine nor xdotool can convert a window's title, and the operator finds no
# window by its name), the operator and the runs' own files
cp -a /usr/share/X11/xkb "$guest/xkb"
cp -a /usr/share/X11/locale "$guest/xlocale"
# the C library's UTF-8 locale (guest.sh sets it): in the guest's default one wine
# cannot name a file outside ASCII
mkdir "$guest/locale"
cp -a /usr/lib/locale/C.utf8 "$guest/locale/"
cp "$here/guest.sh" "$root/scripts/windows-dialog-operator.sh" "$probe" "$guest/"
cp "$probe32" "$guest/pass_through_probe32.exe"
# The ASPI probe twice: in /test it binds wine's own WNASPI32, in four/ the bridge
# beside it (Morvantide4 goes there too).
cp "$aspi_probe" "$guest/"
mkdir "$guest/four"
cp "$aspi_probe" "$bridge" "$guest/four/"
run='./guest.sh start ./pass_through_probe.exe; ./guest.sh probe ./pass_through_probe.exe E: 16384'
run+='; LOADER=wine ./guest.sh probe32 ./pass_through_probe32.exe E: 16384'
run+='; LOADER=wine WINEDEBUG=err+all,fixme+aspi ./guest.sh aspi ./aspi_probe.exe'
run+='; LOADER=wine WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d;wnaspi32=n" ./guest.sh bridge ./four/aspi_probe.exe'
if [[ -n $dialogs ]]; then
  cp "$program" "$stage/work/R4410.OUC" "$stage/work/R4410.bin" "$guest/"
  cp "$program4" "$stage/work/R4410.OUC" "$stage/work/R4410.bin" "$guest/four/"
  run+='; OPERATOR=MorvantideNT PATIENCE=12 ./guest.sh nt ./MorvantideNT.exe'
  run+='; LOADER=wine OPERATOR=Morvantide4 TARGET=0 PATIENCE=12 RUN_DIR=/test/four'
  run+=' WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d;wnaspi32=n" ./guest.sh four ./Morvantide4.exe'
fi
if [[ -n $tests ]]; then
  # stripped: the debug information would double what goes into the guest's memory
  mkdir "$guest/tests"
  while IFS= read -r f; do
    i686-w64-mingw32-strip -o "$guest/tests/${f##*/}" "$f"
  done < <(find "$build32" -name '*_test.exe')
  [[ -n $(ls "$guest/tests") ]] || fail "no test programs in $build32 (cmake --build --preset windows32)"
  cp "$here/guest-tests.sh" "$guest/"
  cp -a "$root/tools/fuzz/corpus" "$guest/corpus"
  source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build32/CMakeCache.txt")
  run+="; ./guest-tests.sh '$source_dir'"
fi
echo "wine-vm-check: $(du -sh "$guest" | cut -f1) to the guest, ${#modules[@]} builtin modules, host preparation $(since "$host_start") s" >&2

if [[ -n $keep ]]; then rm -rf "$keep" && cp -a "$guest" "$keep" && exit 0; fi

# The initramfs is unpacked into the guest's memory: wine's files need more than
# the default. The TCG CPU goes without SMAP: qemu 7.2 faults the iretq that
# wine's system call dispatcher returns to user mode with when SMAP is on.
results=${out:-$stage/results}
limit=1800
[[ -z $tests ]] || limit=5400
vm_start=$(seconds)
set +e
QSH_BINS="bash Xvfb xkbcomp xdotool xwd" QEMU_EXTRA="${QEMU_EXTRA:-} -cpu max,-smap" \
  "$root/tools/qemu-scsi/run-vm.sh" -o "$results" -m 2048 -t "$limit" -H none "$guest" sh -c "$run" 2>"$stage/run-vm.stderr"
rc=$?
set -e
grep -v 'ntdll.so => not found' "$stage/run-vm.stderr" >&2 || true
echo "wine-vm-check: VM wall time $(since "$vm_start") s, guest exit status $rc" >&2
[[ $rc -eq 0 || $rc -eq 1 || $rc -eq 2 ]] || fail "the VM run failed (status $rc)"
"$here/compare.sh" "$results/out"
