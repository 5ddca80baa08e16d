# The main window on screens scaled by 1, 1.5 and 2: the sunken edge is
# whole on all four sides, with no light seam between its rings and the
# menu bar or the picture, and the picture is the tile sheets' own pixels
# (at 1.5 the 2x picture averaged down, each screen pixel the mean of the
# sheet pixels it covers). Sourced by harness.sh.

e2e_preset_store
e2e_sources=$(cd "$(dirname "$script")/../.." && pwd)
[ -n "${KESTRUM_VIEW_PICTURE:-}" ] || { echo "SKIP: view_picture_of is not built"; exit 77; }

# window_place ID: "X Y WIDTH HEIGHT" of a window on the screen.
window_place() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                          /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print x, y, w, h}'
}
# The view: the innermost of the main window's own windows.
view_window() {
  xwininfo -tree -id "$E2E_WIN" | awk '/^ +0x/ { match($0, /^ */); if (RLENGTH > depth) { depth = RLENGTH; id = $1 } }
                                        END { print id }'
}
grey_row() { convert "$1" -crop "$2x1+$3+$4" +repage -colorspace Gray -depth 8 txt:- | tail -n +2 | awk '{ print $NF }'; }
grey_column() { convert "$1" -crop "1x$2+$3+$4" +repage -colorspace Gray -depth 8 txt:- | tail -n +2 | awk '{ print $NF }'; }
# uniform_dark LINES: the pixels are all alike and darker than the face.
uniform_dark() { [ "$(sort -u <<<"$1" | wc -l)" = 1 ] && [ "$(head -n1 <<<"$1" | tr -dc 0-9)" -lt 200 ]; }

for factor in 1 1.5 2; do
  QT_SCALE_FACTOR=$factor e2e_start
  e2e_find_window
  sleep 1
  view=$(view_window)
  read -r vx vy vw vh < <(window_place "$view")
  read -r wx wy ww wh < <(window_place "$E2E_WIN")
  expected_width=$(awk -v f="$factor" 'BEGIN { printf "%d", 280 * f + 0.5 }')
  e2e_expect "at $factor the view is $expected_width pixels wide, got $vw" test "$vw" = "$expected_width"
  ring=$(awk -v f="$factor" 'BEGIN { printf "%d", 2 * f + 0.5 }')
  screen=$(e2e_screenshot "scale-$factor" >/dev/null; echo "$KESTRUM_ARTIFACTS/scale-$factor-screen.png")
  # Every row of the edge above the view, and every column of it to the
  # left, runs unbroken in one dark grey along the whole side.
  for ((i = 1; i <= ring; i++)); do
    e2e_expect "at $factor the edge's row $i above the view is whole and dark" \
      uniform_dark "$(grey_row "$screen" "$vw" "$vx" "$((vy - i))")"
    e2e_expect "at $factor the edge's column $i left of the view is whole and dark" \
      uniform_dark "$(grey_column "$screen" "$vh" "$((vx - i))" "$vy")"
  done
  convert "$screen" -crop "${vw}x${vh}+$vx+$vy" +repage "$KESTRUM_ARTIFACTS/scale-$factor-view.png"
  sheet_scale=$([ "$factor" = 1 ] && echo 1 || echo 2)
  "$KESTRUM_VIEW_PICTURE" "$sheet_scale" "$KESTRUM_ARTIFACTS/picture-$sheet_scale.png" start 0 ||
    e2e_fail "view_picture_of failed"
  convert "$KESTRUM_ARTIFACTS/picture-$sheet_scale.png" -scale "${vw}x${vh}!" "$KESTRUM_ARTIFACTS/expected-$factor.png"
  psnr=$(compare -metric PSNR "$KESTRUM_ARTIFACTS/scale-$factor-view.png" "$KESTRUM_ARTIFACTS/expected-$factor.png" null: 2>&1 || true)
  e2e_expect "at $factor the picture is the sheets' own pixels (PSNR $psnr dB against them)" \
    bash -c "[ '$psnr' = inf ] || awk -v p='$psnr' 'BEGIN { exit !(p + 0 >= 40) }'"
  e2e_close
  e2e_wait_exit 15
  e2e_expect "at $factor the program ends with 0, got $E2E_STATUS" test "$E2E_STATUS" = 0
done
