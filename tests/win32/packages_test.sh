#!/usr/bin/env bash
# The packages a Windows user gets: the program needs no DLL beyond Windows' own and carries its version,
# manifest and icon; the zip holds it and the read-me; the installer, run under Wine in a prefix of its
# own, puts them in Program Files with a Start-menu entry and an entry in "Apps", the installed game
# starts, and the uninstaller takes away every file and entry it made.
# Usage: packages_test.sh <tundrix.exe> <tundrix_window_probe.exe> <zip> <setup.exe>
set -euo pipefail
exe=${1:?usage: packages_test.sh EXE PROBE ZIP SETUP}
probe=${2:?usage: packages_test.sh EXE PROBE ZIP SETUP}
zip=${3:?usage: packages_test.sh EXE PROBE ZIP SETUP}
setup=${4:?usage: packages_test.sh EXE PROBE ZIP SETUP}
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*"; exit 1; }
for tool in unzip x86_64-w64-mingw32-objdump; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (bash tools/deps.sh)"; exit 77; }
done
[ -f "$setup" ] || { echo "SKIP: no installer was made (makensis missing)"; exit 77; }
tmp=$(mktemp -d)
. "$here/wine_prefix_copy.sh"
trap 'wine_prefix_stop; rm -rf "$tmp"' EXIT
wine=/usr/lib/wine/wine64

# --- The program file -------------------------------------------------------------------------------
windows_own="ADVAPI32.dll COMCTL32.dll DSOUND.dll GDI32.dll KERNEL32.dll msvcrt.dll SHELL32.dll USER32.dll WINMM.dll"
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | sort -f | tr '\n' ' ')
for dll in $dlls; do
  case " $windows_own " in *" $dll "*) ;; *) fail "the program needs $dll, which is not Windows' own" ;; esac
done
echo "the program needs only Windows' own DLLs: $dlls"
echo "the program is $(stat -c %s "$exe") bytes; the zip $(stat -c %s "$zip"), the installer $(stat -c %s "$setup")"

wine_prefix_copy "$tmp"
about=$("$here/wine_run.sh" "$probe" file "Z:$exe" | tr -d '\r')
echo "$about" | grep -qP '^version\tProductName\tTundrix Ice-Hockey Cup$' || fail "no product name: $about"
echo "$about" | grep -qP '^version\tFileVersion\t[0-9]+\.[0-9]+\.[0-9]+$' || fail "no file version: $about"
for key in PerMonitorV2 Microsoft.Windows.Common-Controls; do
  echo "$about" | grep -qP "^manifest\t$key\t1$" || fail "the manifest lacks $key"
done
echo "$about" | grep -qP '^icons(\t[0-9]+)*\t16(\t[0-9]+)*\t32(\t[0-9]+)*\t256$' || fail "the icon lacks a size: $about"

# --- The zip -------------------------------------------------------------------------------------------
name=$(basename "$zip" .zip)
listed=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$listed" = "$name/ $name/README.txt $name/tundrix.exe " ] || fail "the zip holds: $listed"
unzip -q "$zip" -d "$tmp/unzipped"
cmp -s "$exe" "$tmp/unzipped/$name/tundrix.exe" || fail "the zip's program is not the one built"
grep -q $'\r$' "$tmp/unzipped/$name/README.txt" || fail "the read-me has no Windows line ends"
grep -q 'HKEY_CURRENT_USER' "$tmp/unzipped/$name/README.txt" || fail "the read-me does not say where the play time is"

# --- Install, start, uninstall --------------------------------------------------------------------------
drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files/Tundrix Ice-Hockey Cup"
link="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Tundrix Ice-Hockey Cup.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tundrix Ice-Hockey Cup'
started=$(date +%s%N)
"$here/wine_run.sh" "$setup" /S >/dev/null
echo "installed in $(( ($(date +%s%N) - started) / 1000000 )) ms"
for f in tundrix.exe README.txt uninstall.exe; do
  [ -f "$folder/$f" ] || fail "the installer did not put $f in Program Files"
done
cmp -s "$exe" "$folder/tundrix.exe" || fail "the installed program is not the one built"
[ -f "$link" ] || fail "no Start-menu entry"
grep -qa 'tundrix.exe' "$link" || fail "the Start-menu entry does not start the game"
entry=$("$wine" reg query "$key" 2>/dev/null | tr -d '\r')
for value in DisplayName DisplayVersion Publisher DisplayIcon UninstallString; do
  echo "$entry" | grep -q "$value" || fail "the Apps entry lacks $value: $entry"
done
echo "$entry" | grep -q 'DisplayName.*Tundrix Ice-Hockey Cup' || fail "the Apps entry is not named: $entry"

# The installed game starts (its window comes), and closes when asked.
"$wine" "C:\\Program Files\\Tundrix Ice-Hockey Cup\\tundrix.exe" >"$tmp/game.log" 2>&1 &
game=$!
up=""
for _ in $(seq 100); do
  up=$("$here/wine_run.sh" "$probe" game | tr -d '\r')
  [ "${up%%$'\t'*}" = client ] && break
  sleep 0.2
done
[ "${up%%$'\t'*}" = client ] || fail "the installed game showed no window"
"$wine" taskkill /IM tundrix.exe >/dev/null 2>&1 || true
for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
kill -0 "$game" 2>/dev/null && fail "the installed game did not close when asked"

"$here/wine_run.sh" "$folder/uninstall.exe" /S >/dev/null
# The uninstaller runs from a copy of itself and returns at once: wait for it to finish.
for _ in $(seq 200); do [ -e "$folder" ] || break; sleep 0.1; done
[ ! -e "$folder" ] || fail "the uninstaller left $(ls "$folder" | tr '\n' ' ')"
[ ! -e "$link" ] || fail "the uninstaller left the Start-menu entry"
"$wine" reg query "$key" >/dev/null 2>&1 && fail "the uninstaller left the Apps entry"
echo "PASS: installed, started and uninstalled without a trace; the zip and the program file as they should be"
