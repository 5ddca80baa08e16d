#!/usr/bin/env bash
# The Windows ZIP made by cpack from the windows build: kestrum.exe and the
# read-me with CR LF, nothing else, and an exe that needs no DLL beyond the
# system's. Skips (77) while the build installs no kestrum.exe.
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
(cd "$work" && cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null)
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
