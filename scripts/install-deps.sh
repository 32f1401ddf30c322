#!/usr/bin/env bash
# Installs every Debian package listed in LIST (default debian-packages.txt) that is not
# installed yet; a package of another architecture (wine32:i386) has it added first.
# With --build-deps it installs the Debian package's build dependencies instead, as apt
# reads them from debian/control (`apt-get build-dep` on this tree, build-essential with
# them): what `make package` needs, and nothing of the test, emulation or desktop tools.
# Idempotent: when everything is present it changes nothing and does not touch the network.
# Usage: scripts/install-deps.sh [LIST | --build-deps]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
missing=()
if [[ "${1:-}" == --build-deps ]]; then
  build_deps=true
  if ! command -v dpkg-checkbuilddeps >/dev/null || ! dpkg-checkbuilddeps "$root/debian/control" 2>/dev/null ||
    [[ $(dpkg-query -W -f='${Status}' build-essential 2>/dev/null) != "install ok installed" ]]; then
    missing=("the build dependencies in debian/control")
  fi
else
  build_deps=false
  list="${1:-$root/scripts/debian-packages.txt}"
  while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
  done < "$list"
fi

if ((${#missing[@]} == 0)); then
  echo "install-deps: all packages present"
  exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if $build_deps; then
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get build-dep -y -qq --no-install-recommends "$root"
  exit 0
fi
for pkg in "${missing[@]}"; do
  arch=${pkg#*:}
  [[ $arch == "$pkg" ]] && continue
  dpkg --print-foreign-architectures | grep -qx "$arch" || "${sudo[@]}" dpkg --add-architecture "$arch"
done
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
