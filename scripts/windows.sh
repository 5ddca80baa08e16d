#!/usr/bin/env bash
# The Windows build on a Debian 12 machine: cross-built with mingw-w64 and
# tested under Wine.
#
#   scripts/windows.sh test      install what is missing, build preset
#                                "windows", run its tests under Wine
#   scripts/windows.sh package   the same build, then the ZIP and the NSIS
#                                installer in build/windows
#
# Works as root and as a user with sudo; installs nothing when all is there.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

packages=(
  build-essential cmake ninja-build git
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libgtest-dev
  wine wine64 nsis python3
  # what the window's end-to-end tests under Wine drive it with
  xvfb xauth xdotool x11-utils imagemagick openbox faketime fonts-ipafont-gothic xxd
  # kestrum.exe's bitmaps and icon are drawn by a host program on Qt; the
  # Wine tests run in a Japanese locale built from the locales package
  qt6-base-dev locales
)

# shellcheck source=scripts/install-missing.sh
source "$here/scripts/install-missing.sh"

build() {
  local launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  cmake --preset windows "${launcher[@]}" >/dev/null
  cmake --build --preset windows
}

mode=${1:-test}
case "$mode" in
  test)
    install_missing "${packages[@]}"
    build
    ctest --preset windows
    ;;
  package)
    install_missing "${packages[@]}"
    build
    (cd build/windows && cpack)
    ;;
  *)
    echo "usage: $0 test|package" >&2
    exit 2
    ;;
esac
