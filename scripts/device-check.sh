#!/usr/bin/env bash
# The GPU checks of kestrum-sim in one go, for a machine with an NVIDIA GPU.
#
#   bash scripts/device-check.sh pack   # here: build with CUDA, put the programs into .device-check/
#   bash scripts/device-check.sh run    # on the GPU machine, from the repository root
#   bash scripts/device-check.sh        # both, on a machine that builds and has a GPU
#
# A GPU machine without Qt, GoogleTest or Google Benchmark cannot build the
# project, so `pack` builds here (nvcc, sm_90 and its PTX) and copies the
# programs with every library they load, the C library and its loader too,
# into one archive, .device-check/stage.tar.xz (ignored by git; some 25 MB,
# for the device tool's carry); `run` unpacks it and starts them through
# that loader, so they need nothing from the machine but its GPU driver. It runs
# the device block tests, the GPU against the processor through the real
# program (--json equal for several seeds and limits, --tenhou 1, 2 and 5, a
# GPU checkpoint carried on by the processor), then the benchmark, and ends
# with the figures. Some five minutes on an H100 with 16 cores.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
archive=$here/.device-check/stage.tar.xz
stage=${TMPDIR:-/tmp}/kestrum-device-check
build=${KESTRUM_DEVICE_BUILD:-$here/build/cuda}
programs=(cli/kestrum-sim tests/batch/batch_tests tests/cli/gpu_run_tests bench/bench_gpu)

pack() {
  local nvcc=${CUDACXX:-/usr/local/cuda/bin/nvcc}
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CUDA_COMPILER="$nvcc" \
    "${launcher[@]}" >/dev/null
  cmake --build "$build" -j "${KESTRUM_JOBS:-2}" --target kestrum-sim batch_tests gpu_run_tests bench_gpu
  rm -rf "$stage"
  mkdir -p "$stage/bin" "$stage/lib" "$(dirname "$archive")"
  local exclude
  exclude=$(cd "$here" && realpath "$(git rev-parse --git-common-dir)")/info/exclude
  grep -qx '/.device-check/' "$exclude" 2>/dev/null || echo '/.device-check/' >>"$exclude"
  local program library
  for program in "${programs[@]}"; do
    cp "$build/$program" "$stage/bin/"
    strip --strip-debug "$stage/bin/$(basename "$program")"
    for library in $(ldd "$build/$program" | awk '/=> \// {print $3} /^\s*\/lib/ {print $1}'); do
      cp -nL "$library" "$stage/lib/"
    done
  done
  # The loader under the one name that run looks for.
  cp -L "$(ldd "$build/cli/kestrum-sim" | awk '/ld-linux/ {print $1}')" "$stage/lib/loader"
  tar -C "$stage" -cf - bin lib | xz -T0 -6 >"$archive"
  du -h "$archive"
}

# Runs a staged program through the staged loader and libraries.
staged() {
  local program=$1
  shift
  "$stage/lib/loader" --library-path "$libraries" "$stage/bin/$program" "$@"
}

# The staged libraries first, then where the GPU driver's own may lie.
libraries=$stage/lib:/usr/local/nvidia/lib64:/usr/local/nvidia/lib:/usr/lib/x86_64-linux-gnu

run() {
  [ -f "$archive" ] || { echo "device-check: no $archive; run 'pack' first" >&2; exit 2; }
  rm -rf "$stage"
  mkdir -p "$stage"
  xz -dc "$archive" | tar -C "$stage" -xf -
  export PATH=$PATH:/usr/local/nvidia/bin
  command -v nvidia-smi >/dev/null && nvidia-smi --query-gpu=name,driver_version,clocks.max.sm --format=csv
  # The tests start kestrum-sim as a program of their own.
  local wrapper=$stage/kestrum-sim
  printf '#!/bin/sh\nexec "%s/lib/loader" --library-path "%s" "%s/bin/kestrum-sim" "$@"\n' \
    "$stage" "$libraries" "$stage" >"$wrapper"
  chmod +x "$wrapper"
  export KESTRUM_SIM_PROGRAM=$wrapper
  local status=0
  echo "== device block code on the processor"
  staged batch_tests --gtest_filter='DeviceBlock*' --gtest_brief=1 || status=1
  echo "== the GPU against the processor"
  local tests=0
  staged gpu_run_tests || tests=$?
  # 77: no GPU here, which the program has said.
  [ "$tests" = 0 ] || [ "$tests" = 77 ] || status=1
  echo "== one batch on each, by hand"
  local device
  for device in cuda cpu; do
    "$wrapper" run --device $device --tenhou 5 --seed 1 --json |
      grep -E '"(device|games|tenhou|seconds|gamesPerSecond)"' || status=1
  done
  echo "== benchmark"
  staged bench_gpu --benchmark_repetitions=1 --benchmark_color=false || status=1
  exit $status
}

case ${1:-all} in
  pack) pack ;;
  run) run ;;
  all)
    pack
    run
    ;;
  *)
    echo "usage: $0 [pack|run]" >&2
    exit 2
    ;;
esac
