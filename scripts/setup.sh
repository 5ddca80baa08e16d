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

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
  local preset=$1
  cmake --preset "$preset" -G Ninja >/dev/null
  cmake --build --preset "$preset"
}

mode=${1:-run}
case "$mode" in
  run)
    install_missing
    build default
    exec "$here/scripts/start.sh" "$here/build/default"
    ;;
  test)
    install_missing
    build "${KESTRUM_PRESET:-default}"
    ctest --preset "${KESTRUM_PRESET:-default}"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
