#!/usr/bin/env bash
# Builds the Debian package from this build folder with CPack, as a packager
# would, and checks what a user's apt would meet: the file name, the file
# list, the control fields with Depends computed from the shared libraries,
# the AppStream data, and programs that start once unpacked.
#
#   package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=${1:?usage: package_test.sh BUILD_DIR VERSION}
version=${2:?usage: package_test.sh BUILD_DIR VERSION}

work=$(mktemp -d /tmp/kestrum-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
ok() { echo "ok: $*"; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack -G DEB"; }
arch=$(dpkg --print-architecture)
deb=$work/out/kestrum_${version}-1_${arch}.deb
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$work/out")"
ok "made $(basename "$deb")"

# --- the file list ----------------------------------------------------------
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' >"$work/files"
for path in /usr/bin/kestrum /usr/bin/kestrum-sim \
            /usr/share/applications/kestrum.desktop \
            /usr/share/metainfo/org.example.kestrum.metainfo.xml \
            /usr/share/icons/hicolor/48x48/apps/kestrum.png \
            /usr/share/icons/hicolor/256x256/apps/kestrum.png \
            /usr/share/man/man6/kestrum.6.gz /usr/share/man/man6/kestrum-sim.6.gz \
            /usr/share/bash-completion/completions/kestrum-sim \
            /usr/share/doc/kestrum/copyright /usr/share/doc/kestrum/changelog.Debian.gz; do
  grep -qxF "$path" "$work/files" || fail "the package lacks $path"
done
ok "every expected file is in the package"
stray=$(grep -vxE '/usr/(share/)?|/usr/(bin|share/(applications|metainfo|icons|man|bash-completion|doc))(/.*)?' "$work/files" || true)
[ -z "$stray" ] || fail "files outside the expected places: $stray"
ok "nothing else is installed"

# --- the control fields -----------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kestrum ] || fail "Package is $(field Package)"
[ "$(field Version)" = "${version}-1" ] || fail "Version is $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is $(field Architecture)"
depends=$(field Depends)
depended=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ (].*//')
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 libqt6svg6; do
  grep -qxF "$library" <<<"$depended" || fail "Depends lacks $library: $depends"
done
# Versioned as dpkg-shlibdeps versions them; a list written by hand rarely is.
grep -qE '^libc6 \(>= [0-9.]+\)' <<<"$depends" || fail "Depends is not versioned by dpkg-shlibdeps: $depends"
if grep -qE 'lib(a|ub|l|t)san' <<<"$depends"; then fail "a sanitizer runtime in Depends: $depends"; fi
ok "Depends: $depends"

# --- unpacked, the programs start and the data validates ---------------------
root=$work/root
dpkg-deb -x "$deb" "$root"
for program in kestrum kestrum-sim; do
  got=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/$program" --version) || fail "$program --version failed"
  [ "$got" = "$program $version" ] || fail "$program --version said \"$got\""
  env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/$program" --help | grep -q "^Usage: $program" ||
    fail "$program --help"
done
ok "the unpacked programs answer --version and --help without a display"
# The stripped program still judges hands.
[ "$(echo 19m19p19s12345677z | "$root/usr/bin/kestrum-sim" check)" = 1 ] || fail "unpacked kestrum-sim check"
ok "the unpacked kestrum-sim judges a hand"
env -u DISPLAY "$root/usr/bin/kestrum-sim" run --games 2000 --threads 1 --seed 1 --plot "$work/rate.png" >/dev/null ||
  fail "unpacked kestrum-sim run --plot"
# A PNG's header holds its width and height as 32-bit numbers at byte 16.
size=$(od -An -tu1 -j16 -N8 "$work/rate.png" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
[ "$size" = 800x720 ] || fail "the plot is $size, not 800x720"
ok "the unpacked kestrum-sim draws its plot without a display"

appstreamcli validate-tree --pedantic --no-net "$root" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log" >&2; fail "appstreamcli validate-tree --pedantic"; }
ok "AppStream data validates with its desktop entry"
