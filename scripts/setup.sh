#!/usr/bin/env bash
# Sets Kestrum up on a fresh Debian 12 machine and then either starts it or
# runs the whole test suite.
#
#   scripts/setup.sh run     install what is missing, build, start the program
#   scripts/setup.sh test    install what is missing, build, run every test
#
# Works as root and as a user with sudo; installs nothing when all is there.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6multimedia6 libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libopenmpi-dev openmpi-bin
  clang libclang-rt-14-dev
  fonts-ipafont-gothic
  xvfb xauth xdotool x11-utils imagemagick openbox wmctrl faketime
  libxcb1-dev
  gstreamer1.0-plugins-base
  qt6-svg-dev
  help2man appstream dpkg-dev file bash-completion man-db
)

# shellcheck source=scripts/install-missing.sh
source "$here/scripts/install-missing.sh"

build() {
  local preset=$1
  cmake --preset "$preset" -G Ninja >/dev/null
  cmake --build --preset "$preset"
}

mode=${1:-run}
case "$mode" in
  run)
    install_missing "${packages[@]}"
    build default
    exec "$here/scripts/start.sh" "$here/build/default"
    ;;
  test)
    install_missing "${packages[@]}"
    build "${KESTRUM_PRESET:-default}"
    ctest --preset "${KESTRUM_PRESET:-default}"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
