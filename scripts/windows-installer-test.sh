#!/usr/bin/env bash
# The Windows installer under wine, as an administrator would use it unattended: a
# silent install (/S), the programs, the uninstaller, the Start menu entries and the
# .OUC association where the installer puts them (the keys read back with reg), the
# installed MorvantideNT started from there; then a silent uninstall, after which
# none of it is left.
# Usage: scripts/windows-installer-test.sh Morvantide-setup.exe
# Uses $WINEPREFIX (wine's default when unset).
set -euo pipefail
installer=$(realpath "$1")
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
fail() { echo "windows-installer-test: $*" >&2; exit 1; }

# A Windows path of the prefix as a Linux path.
unix() { "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
query() { "$wine" reg query "$@" 2>/dev/null | tr -d '\r'; }

dir=$(unix 'C:\Program Files\Morvantide')
menu=$(unix 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Morvantide')
installed=(MorvantideNT.exe Morvantide4.exe morvantide-package.exe uninstall.exe)
links=(MorvantideNT.lnk Morvantide4.lnk "Uninstall Morvantide.lnk")
[[ ! -e $dir ]] || fail "a Morvantide folder is already in the prefix: $dir"

"$wine" "$installer" /S || fail "the silent install failed (status $?)"
for file in "${installed[@]}"; do [[ -f $dir/$file ]] || fail "not installed: $dir/$file"; done
for link in "${links[@]}"; do [[ -f $menu/$link ]] || fail "no Start menu entry: $menu/$link"; done
query 'HKLM\Software\Classes\.OUC' /ve | grep -q 'REG_SZ *Morvantide\.Package$' ||
  fail ".OUC does not open as Morvantide.Package"
query 'HKLM\Software\Classes\Morvantide.Package\shell\open\command' /ve |
  grep -qF 'REG_SZ    "C:\Program Files\Morvantide\MorvantideNT.exe" "%1"' ||
  fail "Morvantide.Package does not open in the installed MorvantideNT"
query 'HKLM\Software\Classes\.OUC\OpenWithProgids' | grep -q 'Morvantide4\.Package' ||
  fail "Morvantide4 is not offered for .OUC"
query 'HKLM\Software\Classes\Morvantide4.Package\shell\open\command' /ve |
  grep -qF '"C:\Program Files\Morvantide\Morvantide4.exe" "%1"' || fail "Morvantide4.Package has no open command"
query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvantide' /v UninstallString |
  grep -qF '"C:\Program Files\Morvantide\uninstall.exe"' || fail "no uninstall entry"
"$wine" "$dir/MorvantideNT.exe" --version | tr -d '\r' | grep -q '^MorvantideNT ' ||
  fail "the installed MorvantideNT does not start"

# The uninstaller copies itself away and goes on from there, so its status comes
# before its work is done: the folder's disappearance is waited for.
"$wine" "$dir/uninstall.exe" /S || fail "the silent uninstall failed (status $?)"
for _ in $(seq 150); do [[ -e $dir ]] || break; sleep 0.2; done
[[ ! -e $dir ]] || fail "left behind: $(ls -A "$dir")"
[[ ! -e $menu ]] || fail "Start menu entries left behind: $(ls -A "$menu")"
for key in '.OUC' 'Morvantide.Package' 'Morvantide4.Package'; do
  query "HKLM\\Software\\Classes\\$key" >/dev/null && fail "key left behind: HKLM\\Software\\Classes\\$key"
done
query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvantide' >/dev/null &&
  fail "uninstall entry left behind"
echo "windows-installer-test: installed silently into C:\\Program Files\\Morvantide (${#installed[@]} files, ${#links[@]} Start menu entries, .OUC opening in MorvantideNT), started the installed MorvantideNT, uninstalled without a trace"
