#!/usr/bin/env bash
# Writes the COMMANDS section of kestrum-sim's manual page, for help2man's
# --include, from the overview's command list and each command's own --help,
# so that the page says exactly what the program says.
#
#   command-sections.sh KESTRUM_SIM > commands.h2m
set -euo pipefail
sim=${1:?usage: command-sections.sh KESTRUM_SIM}

commands=$("$sim" --help | awk '/^Commands:/ { listing = 1; next } listing && /^  [a-z]/ { print $1 } listing && /^$/ { exit }')
[ -n "$commands" ] || { echo "command-sections.sh: no commands in $sim --help" >&2; exit 1; }

echo "[COMMANDS]"
for command in $commands; do
  # QCommandLineParser's layout: the usage line, the description (indented
  # lines are examples, kept as they stand), then "Options:" and
  # "Arguments:" with a name and a text that may wrap onto indented lines.
  "$sim" "$command" --help | awk '
    function roff(text) {
      gsub(/\\/, "\\e", text)
      gsub(/-/, "\\-", text)
      if (text ~ /^[.\047]/) text = "\\&" text
      return text
    }
    NR == 1 { sub(/^Usage: /, ""); print ".SS \"" roff($0) "\""; next }
    /^(Options|Arguments):$/ { listing = 1; next }
    !listing && /^$/ { print ".PP"; next }
    !listing && /^  / { if (!verbatim) print ".nf"; verbatim = 1; print roff($0); next }
    !listing { if (verbatim) print ".fi"; verbatim = 0; print roff($0); next }
    listing && /^$/ { next }
    listing && /^  [^ ]/ {
      line = $0; sub(/^  /, "", line)
      split(line, parts, /   */)
      name = parts[1]; text = substr(line, length(name) + 1); sub(/^ +/, "", text)
      if (name ~ /^-h, --help$/) { skip = 1; next }
      skip = 0
      print ".TP"; print ".B " roff(name); print roff(text); next
    }
    listing && !skip { line = $0; sub(/^ +/, "", line); print roff(line) }
    END { if (verbatim) print ".fi" }
  '
done
