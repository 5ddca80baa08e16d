#!/usr/bin/env bash
# Makes the Wine prefix that the Windows tests run in (WINEPREFIX=$1), or
# brings an existing one up to date, and waits until Wine has finished
# with it, so that the tests after it start at once.
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh PREFIX}
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs: nothing here needs .NET or a browser.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1 </dev/null
wineserver -w
test -f "$prefix/system.reg"
