# A normal run prints nothing: on a machine without a sound server and
# without a web browser, a heavenly hand with the chime on and the home page
# from the menu leave the terminal empty and the runtime directory as it
# was. Asked for through QT_LOGGING_RULES, Qt's notes about the missing
# browser come back. Sourced by harness.sh.

source "$(dirname "$script")/tenhou_helpers.sh"

# No browser on the program's path and none named to it; env hands the
# path to the program alone (and becomes it, keeping its process id).
no_browser=$E2E_WORK/no-browser
mkdir -p "$no_browser"
unset BROWSER DEFAULT_BROWSER PULSE_SERVER PULSE_RUNTIME_PATH
program=$KESTRUM_BIN
KESTRUM_BIN=$(command -v env)

homepage_and_chime() {
  e2e_find_window
  e2e_key alt+h h
  sleep 1
  e2e_key F2
  e2e_expect "the heavenly hand comes" e2e_wait_for 60 test -s "$E2E_CWD/tenholog.txt"
  sleep 1.5  # what the chime would say comes from a later turn of the event loop
  e2e_close
  e2e_wait_exit 15
  e2e_expect "the program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
}

# quiet_start RULES: tenhou_start with the given logging rules (none: a
# normal run). Under the leak checker the count of system-library leaks it
# was told to ignore is not printed either; a leak it finds still is.
quiet_start() {
  TZ=UTC LD_PRELOAD=$faketime_library FAKETIME="$(TZ=UTC date -d "@$TENHOU_SECOND" '+%Y-%m-%d %H:%M:%S')" \
    FAKETIME_DONT_FAKE_MONOTONIC=1 FAKETIME_DISABLE_SHM=1 \
    ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 \
    LSAN_OPTIONS=${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0 \
    e2e_start ${1:+QT_LOGGING_RULES=$1} PATH="$no_browser" "$program"
}

tenhou_find_second
e2e_preset_store SPEED=10 SOUND=1
quiet_start
homepage_and_chime
e2e_expect "the run printed nothing: '$(head -c 600 "$E2E_WORK/program.log")'" test ! -s "$E2E_WORK/program.log"
e2e_expect "the runtime directory holds nothing new: $(ls -A "$XDG_RUNTIME_DIR" | tr '\n' ' ')" \
  bash -c "! ls -A '$XDG_RUNTIME_DIR' | grep -qv '^kestrum'"

# The same with the notes asked for: the browser's comes back, and the
# chime was called all the same.
rm -f "$E2E_CWD/tenholog.txt"
: >"$E2E_WORK/program.log"
e2e_preset_store SPEED=10 SOUND=1
quiet_start "qt.desktopservices*=true;kestrum.sound.debug=true"
homepage_and_chime
e2e_expect "asked for, the missing browser is named" grep -q "Unable to detect a web browser" "$E2E_WORK/program.log"
e2e_expect "the chime was called" test "$(tenhou_chimes)" -ge 1
e2e_expect "without a sound server it stayed silent" grep -q "no sound server" "$E2E_WORK/program.log"
