#!/usr/bin/env bash
# The bash completion of kestrum-sim, loaded the way bash-completion loads
# it, asked what a person's Tab would ask.
#
#   completion_test.sh COMPLETION_FILE KESTRUM_SIM
set -uo pipefail
completion=${1:?usage: completion_test.sh COMPLETION_FILE KESTRUM_SIM}
sim=${2:?}
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -r /usr/share/bash-completion/bash_completion ] || { echo "SKIP: bash-completion is not installed"; exit 77; }
source /usr/share/bash-completion/bash_completion
source "$completion"
[ "$(complete -p kestrum-sim)" = "complete -F _kestrum_sim kestrum-sim" ] || fail "kestrum-sim has no completion"

work=$(mktemp -d /tmp/kestrum-completion-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work" && touch rate.svg rate.png tenholog.txt && mkdir plots

# complete WORD...: the sorted candidates for the last word, on one line.
complete_words() {
  COMP_WORDS=("$sim" "$@")
  COMP_CWORD=$#
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _kestrum_sim "$sim" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort | paste -sd ' '
}

expect() {
  local want=$1 got
  shift
  got=$(complete_words "$@")
  [ "$got" = "$want" ] || fail "kestrum-sim $* <Tab>: want \"$want\", got \"$got\""
  echo "ok: kestrum-sim $* <Tab> -> $got"
}

expect "--help --version check exact log records run watch" ""
expect "records run" r
expect "watch" wa
# Exactly the options each command's help names, whatever they are today.
options_of() { "$sim" "$1" --help | grep -oE '^ +(-[a-z], )?--[a-z-]+' | grep -oE -- '--[a-z-]+' | sort | paste -sd ' '; }
expect "$(options_of run)" run --
expect "$(options_of check)" check --
expect "plots rate.png rate.svg" run --games 10 --plot ""
expect "$(options_of records)" records --
expect "" run --seed ""
expect "" run --threads 2 --games ""
expect "plots rate.png rate.svg tenholog.txt" run --log ""
expect "plots rate.png rate.svg tenholog.txt" run --log=
expect "plots rate.png rate.svg tenholog.txt" records --file ""
expect "plots rate.png rate.svg tenholog.txt" run --checkpoint ""
expect "plots rate.png rate.svg tenholog.txt" log ""
expect "tenholog.txt" log t
expect "" check ""
expect "" exact ""
expect "" unknown ""
