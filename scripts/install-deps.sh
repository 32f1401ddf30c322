#!/usr/bin/env bash
# Installs every Debian package listed in LIST (default debian-packages.txt) that is not
# installed yet; a package of another architecture (wine32:i386) has it added first.
# Idempotent: when everything is present it changes nothing and does not touch the network.
# Usage: scripts/install-deps.sh [LIST]
set -euo pipefail

list="${1:-$(dirname "$0")/debian-packages.txt}"
missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done < "$list"

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
for pkg in "${missing[@]}"; do
  arch=${pkg#*:}
  [[ $arch == "$pkg" ]] && continue
  dpkg --print-foreign-architectures | grep -qx "$arch" || "${sudo[@]}" dpkg --add-architecture "$arch"
done
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
