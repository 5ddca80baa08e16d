#!/usr/bin/env bash
# The manual pages as man shows them: formatted without a warning, with
# their sections, and for kestrum-sim every command and every option that
# the program's own --help names.
#
#   man_pages_test.sh PAGE_DIR KESTRUM KESTRUM_SIM
set -euo pipefail
pages=${1:?usage: man_pages_test.sh PAGE_DIR KESTRUM KESTRUM_SIM}
kestrum=${2:?}
sim=${3:?}
fail() { echo "FAIL: $*" >&2; exit 1; }
warnings=$(mktemp /tmp/kestrum-man-XXXXXX)
trap 'rm -f "$warnings"' EXIT

shown() {
  local page=$1 text
  text=$(LC_ALL=C.UTF-8 MANWIDTH=100 man --warnings -l "$pages/$page" 2>"$warnings") || fail "man -l $page"
  [ ! -s "$warnings" ] || fail "man -l $page warns: $(cat "$warnings")"
  printf '%s\n' "$text"
}

kestrum_text=$(shown kestrum.6.gz)
sim_text=$(shown kestrum-sim.6.gz)
for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES "SEE ALSO"; do
  grep -qx "$section" <<<"$kestrum_text" || fail "kestrum(6) has no $section section"
done
grep -q "^KESTRUM(6) .* Games .*KESTRUM(6)$" <<<"$kestrum_text" || fail "kestrum(6) is not in section 6, games"
grep -q -- "--version" <<<"$kestrum_text" || fail "kestrum(6) misses --version"
grep -q "$("$kestrum" --version)" <<<"$kestrum_text" || fail "kestrum(6) is not of this version"
echo "ok: kestrum(6)"

for section in NAME SYNOPSIS DESCRIPTION COMMANDS EXAMPLES "SEE ALSO"; do
  grep -qx "$section" <<<"$sim_text" || fail "kestrum-sim(6) has no $section section"
done
commands=$("$sim" --help | awk '/^Commands:/ { listing = 1; next } listing && /^  [a-z]/ { print $1 } listing && /^$/ { exit }')
[ "$(wc -w <<<"$commands")" -ge 6 ] || fail "kestrum-sim --help lists only: $commands"
for command in $commands; do
  grep -q "^   kestrum-sim $command" <<<"$sim_text" || fail "kestrum-sim(6) does not describe $command"
  for option in $("$sim" "$command" --help | grep -oE '^ +--[a-z-]+' || true); do
    [ "$option" = --help ] && continue
    grep -qE -- "^ +$option( |$)" <<<"$sim_text" || fail "kestrum-sim(6) lacks $command $option"
  done
done
grep -q "東 南 西 北 白 発 中" <<<"$sim_text" || fail "kestrum-sim(6) lost its Japanese honour names"
echo "ok: kestrum-sim(6) describes $(wc -w <<<"$commands") commands with all their options"
