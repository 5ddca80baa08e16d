# The four dialogs under a real window manager have the frame of a modal
# dialog: a caption and a close box; no resizing and no maximising are
# offered, a minimise or full-screen request is answered by staying as they
# were, and neither hides the main window, which keeps its own minimise
# button. Sourced by harness.sh.

[ "$E2E_HAS_WM" = 1 ] || { echo "SKIP: the frame's actions need a window manager (openbox)"; exit 77; }
command -v wmctrl >/dev/null || { echo "SKIP: wmctrl is not installed"; exit 77; }

# One logged heavenly hand, so that F5 opens the log browser.
printf '%s\r\n' "===== 開始 2001/03/04 09:05:03 =====" "* 1m1m1m2m3m4m5m6m7m8m8m9m9m9m" "+ 350" "[総局数] 600" \
  "[天和回数] 1" "[天和確率] 0.16667" "[最短局数] 350" "[最長局数] 350" "----- 終了 2001/03/04 21:47:10 -----" "" |
  iconv -f UTF-8 -t SHIFT_JIS >"$E2E_CWD/tenholog.txt"

e2e_preset_store
e2e_start
e2e_find_window
main_window=$E2E_WIN

allowed() { xprop -id "$1" _NET_WM_ALLOWED_ACTIONS; }
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
not_viewable() { ! viewable "$1"; }
# The Motif hints, which most window managers follow for their buttons:
# "FLAGS FUNCTIONS DECORATIONS" in decimal.
motif_hints() { xprop -id "$1" _MOTIF_WM_HINTS | sed -n 's/.*= *//p' | tr -d ',' | awk '{ printf "%d %d %d", $1, $2, $3 }'; }

e2e_expect "the main window offers minimising ($(allowed "$main_window"))" grep -q MINIMIZE <<<"$(allowed "$main_window")"

dialog_window() { xdotool search --all --onlyvisible --pid "$E2E_PID" --name "^$1\$" 2>/dev/null | head -n1; }
dialog_shown() { [ -n "$(dialog_window "$1")" ]; }

# check_frame NAME TITLE KEY...
check_frame() {
  local name=$1 title=$2 dialog size actions flags functions decorations
  shift 2
  E2E_WIN=$main_window
  e2e_key "$@"
  e2e_wait_for 5 dialog_shown "$title" || e2e_fail "$name: no window '$title' after the keys $*"
  dialog=$(dialog_window "$title")
  E2E_WIN=$dialog
  e2e_wait_for 5 bash -c "xprop -id $dialog _NET_WM_ALLOWED_ACTIONS | grep -q 'ALLOWED_ACTIONS(ATOM) = '" ||
    e2e_fail "$name: the window manager lists no actions"
  size=$(e2e_size)
  actions=$(allowed "$dialog")
  e2e_expect "$name: neither resizing nor maximising is offered ($actions)" bash -c "! grep -qE 'RESIZE|MAXIMIZE' <<<'$actions'"
  e2e_expect "$name: it can be closed and moved" grep -q 'CLOSE.*MOVE\|MOVE.*CLOSE' <<<"$actions"
  read -r flags functions decorations <<<"$(motif_hints "$dialog")"
  # Functions: all 1, minimise 8, maximise 16. Decorations: all 1, title 8,
  # window menu 16, minimise 32, maximise 64. (Qt leaves the resize function
  # in; the fixed size below is what takes it away.)
  e2e_expect "$name: the hints ask for no minimising or maximising ($functions)" \
    test "$((flags & 1))" = 1 -a "$((functions & (1 | 8 | 16)))" = 0
  e2e_expect "$name: the hints ask for a caption and a window menu, no minimise or maximise box ($decorations)" \
    test "$((flags & 2))" = 2 -a "$((decorations & (8 | 16)))" = 24 -a "$((decorations & (1 | 32 | 64)))" = 0
  hints=$(xprop -id "$dialog" WM_NORMAL_HINTS)
  e2e_expect "$name: its size is fixed" grep -q "maximum size: ${size/ / by }" <<<"$hints"

  xdotool windowminimize "$dialog"
  sleep 1.5
  e2e_expect "$name: after a minimise request the dialog is still shown" e2e_wait_for 3 viewable "$dialog"
  e2e_expect "$name: after a minimise request the main window is still shown" e2e_wait_for 3 viewable "$main_window"

  wmctrl -i -r "$dialog" -b add,fullscreen
  sleep 1.5
  e2e_expect "$name: full screen is refused" bash -c "! xprop -id $dialog _NET_WM_STATE | grep -q FULLSCREEN"
  e2e_expect "$name: after full screen it is $size, got $(e2e_size)" test "$(e2e_size)" = "$size"
  e2e_screenshot "frame-$name" >/dev/null

  e2e_key Escape
  e2e_wait_for 5 bash -c "[ -z \"\$(xdotool search --all --onlyvisible --pid $E2E_PID --name '^$title\$' 2>/dev/null)\" ]" ||
    e2e_fail "$name: Escape did not close '$title'"
}

check_frame settings "設定" F3
check_frame record "記録" F4
check_frame tenhou-record "天和記録" F5
check_frame about "バージョン情報\\(kestrum\\)" alt+h a

E2E_WIN=$main_window
e2e_expect "the main window is still shown" viewable "$main_window"
xdotool windowminimize "$main_window"
e2e_expect "the main window itself can be minimised" e2e_wait_for 3 not_viewable "$main_window"
wmctrl -i -a "$main_window"
e2e_expect "and shown again" e2e_wait_for 3 viewable "$main_window"
e2e_close
e2e_wait_exit 15
e2e_expect "closed program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
