#!/usr/bin/env bash
# The Windows downloads made by cpack from the windows build: the ZIP holds
# kestrum.exe and the read-me with CR LF, nothing else, and the exe needs no
# DLL beyond the system's; the NSIS installer, run silently under Wine in
# the tests' prefix, installs both and a Start-menu entry, and its
# uninstaller takes them away again. Skips (77) while the build installs no
# kestrum.exe.
set -euo pipefail
build=${1:?build folder}
version=${2:?version}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/installed" >/dev/null
if [ ! -f "$work/installed/kestrum.exe" ]; then
  echo "no kestrum.exe is installed by this build yet"
  exit 77
fi
(cd "$work" && cpack -G "ZIP;NSIS" --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null)
zip=$work/out/kestrum-$version-windows-x86_64.zip
test -f "$zip" || { echo "no $zip"; ls "$work/out"; exit 1; }

python3 - "$zip" <<'PY'
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
names = sorted(n for n in z.namelist() if not n.endswith('/'))
assert names == ['README.txt', 'kestrum.exe'], names
readme = z.read('README.txt')
assert readme.count(b'\r\n') == readme.count(b'\n') > 5, 'README.txt lacks CR LF'
exe = z.read('kestrum.exe')
assert exe[:2] == b'MZ', 'kestrum.exe is no Windows program'
PY

# Imports only of system DLLs: nothing from mingw's runtime to ship beside it.
unzip_dir=$work/unzipped
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$unzip_dir"
imports=$(x86_64-w64-mingw32-objdump -p "$unzip_dir/kestrum.exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
echo "kestrum.exe imports:" $imports
for dll in $imports; do
  case $dll in
    libstdc++*|libgcc*|libwinpthread*|qt*) echo "kestrum.exe needs $dll beside it"; exit 1 ;;
  esac
done
echo "ZIP holds kestrum.exe ($(stat -c %s "$unzip_dir/kestrum.exe") bytes) and README.txt"

installer=$work/out/kestrum-$version-windows-x86_64.exe
test -f "$installer" || { echo "no $installer"; ls "$work/out"; exit 1; }
: "${WINEPREFIX:?the installer is tried in the Wine prefix of the tests}"
wine "$installer" /S
wineserver -w
program_files=$WINEPREFIX/drive_c/Program\ Files/Kestrum
for f in kestrum.exe README.txt Uninstall.exe; do
  test -f "$program_files/$f" || { echo "the installer left no $f"; exit 1; }
done
link=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Kestrum/Kestrum.lnk' | head -n 1)
test -n "$link" || { echo "the installer made no Start-menu entry"; exit 1; }
wine "$program_files/Uninstall.exe" /S
wineserver -w
# The uninstaller copies itself away and runs from there: give it a moment.
for _ in 1 2 3 4 5 6 7 8 9 10; do
  [ -f "$program_files/kestrum.exe" ] || [ -f "$link" ] || break
  sleep 1
done
if [ -f "$program_files/kestrum.exe" ] || [ -f "$link" ]; then
  echo "the uninstaller left the program or its Start-menu entry"; exit 1
fi
echo "the installer put in kestrum.exe, README.txt and a Start-menu entry; the uninstaller took them away"
