# The main window under a real window manager: it starts quietly (no
# audio device is opened before a chime is due), keeps its one size and
# its title bar when full screen or maximised is asked for, and shows its
# sunken edge on all four sides. Sourced by harness.sh.

[ "$E2E_HAS_WM" = 1 ] || { echo "SKIP: full screen and maximise need a window manager (openbox)"; exit 77; }
command -v wmctrl >/dev/null || { echo "SKIP: wmctrl is not installed"; exit 77; }

state_has() { xprop -id "$E2E_WIN" _NET_WM_STATE | grep -q "$1"; }
title_bar_height() { xprop -id "$E2E_WIN" _NET_FRAME_EXTENTS | sed -n 's/.*= *[0-9]*, *[0-9]*, *\([0-9]*\),.*/\1/p'; }

e2e_preset_store SOUND=1
e2e_start
e2e_find_window
read -r width height < <(e2e_size)
bar=$(title_bar_height)
sleep 1
e2e_expect "no audio device is opened at start (sound on, no chime yet)" \
  bash -c "! grep -qi 'audio' '$E2E_WORK/program.log'"

allowed=$(xprop -id "$E2E_WIN" _NET_WM_ALLOWED_ACTIONS)
e2e_expect "the window manager lists the window's actions ($allowed)" grep -q "ALLOWED_ACTIONS(ATOM) = " <<<"$allowed"
e2e_expect "the window manager offers neither resizing nor maximising" bash -c "! grep -qE 'RESIZE|MAXIMIZE' <<<'$allowed'"

for request in fullscreen "maximized_vert,maximized_horz"; do
  wmctrl -i -r "$E2E_WIN" -b "add,$request"
  sleep 1.5
  e2e_expect "$request is refused" bash -c "! xprop -id $E2E_WIN _NET_WM_STATE | grep -qE 'FULLSCREEN|MAXIMIZED'"
  e2e_expect "after $request the window is $width x $height, got $(e2e_size)" test "$(e2e_size)" = "$width $height"
  e2e_expect "after $request the title bar is there ($(title_bar_height) pixels)" test "$(title_bar_height)" = "$bar"
done

# The edge: the inner ring's pixel in the middle of each side differs from
# the view's white, and the outer ring is darker at the top and left.
shot=$(e2e_screenshot edge)
grey() { convert "$shot" -format "%[fx:int(255*p{$1,$2}.intensity)]" info:; }
mid_x=$((width / 2))
mid_y=$((height - 22))
for point in "1 $mid_y" "$((width - 2)) $mid_y" "$mid_x $((height - 44 - 1))" "$mid_x $((height - 2))"; do
  read -r x y <<<"$point"
  e2e_expect "the edge shows at ($x, $y): grey $(grey "$x" "$y")" test "$(grey "$x" "$y")" -lt 250
done
e2e_expect "the outer ring is darker on the left than on the right" \
  test "$(grey 0 "$mid_y")" -lt "$(grey $((width - 1)) "$mid_y")"

e2e_close
e2e_wait_exit 15
e2e_expect "closed program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
