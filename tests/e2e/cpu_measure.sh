# Not a test (it asserts no time): measures what the window costs at its
# fastest speed with a repaint after every game. Run it through the harness:
#   KESTRUM_BIN=build/default/app/kestrum bash tests/e2e/harness.sh tests/e2e/cpu_measure.sh
# KESTRUM_MEASURE_SECONDS sets the length (default 20).
seconds=${KESTRUM_MEASURE_SECONDS:-20}
ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$E2E_PID/stat"; }

e2e_preset_store SPEED=10 INTERVAL=1 AUTOSTART=1
e2e_start
e2e_find_window
sleep 2
games_before=$(e2e_status_text | sed -n 's/.*+//p')
cpu_before=$(cpu_ticks)
sleep "$seconds"
cpu_after=$(cpu_ticks)
games_after=$(e2e_status_text | sed -n 's/.*+//p')
e2e_screenshot measured >/dev/null
e2e_close
e2e_wait_exit 15
awk -v c=$((cpu_after - cpu_before)) -v t="$ticks" -v s="$seconds" -v g=$((games_after - games_before)) \
  'BEGIN { printf "CPU: %.1f%% of one core over %d s; %.1f games/s\n", 100 * c / t / s, s, g / s }'
