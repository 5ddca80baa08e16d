#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz: clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time from its
# committed seed corpus. New inputs go to a corpus in the build tree, so the
# committed one stays small. Exits non-zero on any crash, leak or undefined
# behaviour, and leaves the input that caused it in the build tree.
#
#   scripts/fuzz.sh            every target, KESTRUM_FUZZ_SECONDS each (default 30)
#   scripts/fuzz.sh TARGET...  only these (tenhou_log, text_forms, settings_file, status_block, checkpoint)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

seconds=${KESTRUM_FUZZ_SECONDS:-30}
# A fixed seed makes a run repeatable: what fails in CI fails the same way
# here. KESTRUM_FUZZ_SEED=0 lets libFuzzer pick one for a longer search.
seed=${KESTRUM_FUZZ_SEED:-20261208}
build=${KESTRUM_FUZZ_BUILD:-$here/build/fuzz}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(tenhou_log text_forms settings_file status_block checkpoint)

cmake --preset fuzz -G Ninja -B "$build" >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for t in "${targets[@]}"; do
  work="$build/fuzz-corpus/$t"
  artifacts="$build/fuzz-artifacts/$t/"
  mkdir -p "$work" "$artifacts"
  echo "== fuzz_$t for ${seconds}s"
  extra=()
  # Its Qt cache grows by design; the leak check at exit still runs.
  [ "$t" = settings_file ] && extra=(-detect_leaks=0)
  if ! "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      -print_final_stats=1 -seed="$seed" "${extra[@]}" -artifact_prefix="$artifacts" "$work" "$here/fuzz/corpus/$t"; then
    echo "fuzz_$t failed; inputs in $artifacts" >&2
    ls -l "$artifacts" >&2 || true
    failed+=("$t")
  fi
done
# The last lines are what a CI log shows first: say which targets failed.
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzzing: ${targets[*]} clean"
