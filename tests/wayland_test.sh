#!/usr/bin/env bash
# The window on a Wayland compositor as a person meets it: sway, headless
# (as an unprivileged user, which sway insists on), at scale 1 and then 2.
# rgbhsv opens as a native client: its title and app id are there, and
# after start-up and each key (typed through a virtual keyboard) its
# content, taken in the compositor's own pixels, is the Windows build's
# client area under Wine at 96 and 192 DPI (Xvfb), pixel for pixel, so
# nothing was resampled. A change of the output's scale lays the open
# dialog out afresh with its fields as they were; a number copied there
# pastes elsewhere and one copied elsewhere pastes there; the compositor's
# close ends it with status 0.
# usage: wayland_test.sh RGBHSV WINDOWS_BIN_DIR
set -u -o pipefail
rgbhsv=$(readlink -f "$1")
bin=$(readlink -f "$2")
. "$(dirname "$0")/desktop_session.sh"
for tool in sway swaymsg wtype grim wl-copy wl-paste setpriv jq; do
  command -v "$tool" > /dev/null || skip "$tool is missing (make test installs it)"
done

runtime=$(mktemp -d)
trap '[ -n "${keyboard:-}" ] && kill $keyboard 2>/dev/null; kill ${sway:-} 2>/dev/null; /usr/lib/wine/wineserver -k 2>/dev/null
      sleep 0.5; kill $xvfb 2>/dev/null; rm -rf "$work" "$runtime"' EXIT
start_sway "$runtime" 1280x800 || { sed 's/^/  sway: /' "$runtime/sway.log"; skip "sway did not start"; }
# A keyboard on the seat from the start, as a desktop has.
wtype -s 3600000 "" &
keyboard=$!

shown() { window=$(window_of); [ -n "$window" ]; }
# ... and at another size than `size` (WxH), laid out afresh.
resized() { window=$(window_of); [ -n "$window" ] && [ "${window##* }" != "$1" ]; }
# Keys as xdotool names them ("shift+Left", "9"), typed into the focused
# window through wtype's virtual keyboard.
type_keys() {
  local args=() key mods
  for key in $1; do
    mods=()
    while [ "${key#*+}" != "$key" ]; do mods+=("${key%%+*}"); key=${key#*+}; done
    for m in "${mods[@]}"; do args+=(-M "$m"); done
    args+=(-k "$key")
    for m in "${mods[@]}"; do args+=(-m "$m"); done
  done
  [ ${#args[@]} = 0 ] || wtype "${args[@]}"
}
steps=("" "1 2" "Tab" "7" "shift+Left" "BackSpace" "Tab Tab Tab" "9 9 9")

for scale in 1 2; do
  dpi=$((96 * scale))
  swaymsg output HEADLESS-1 scale "$scale" > /dev/null
  "$rgbhsv" --window > "$work/ours-$scale.out" 2>&1 &
  ours_pid=$!
  window=
  eventually shown
  check "at scale $scale the window shows as \"RGB <-> HSV\", app id rgbhsv (${window%%|*})" \
    [ "${window%%|*}" = "RGB <-> HSV" ]
  [ -n "$window" ] || { sed 's/^/  it said: /' "$work/ours-$scale.out"; continue; }
  swaymsg "[app_id=rgbhsv] move position 0 0" > /dev/null
  eventually shown
  ours="wl:${window#*|}"
  reg 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "$dpi"
  "$wine" "$bin/rgbhsv.exe" > /dev/null 2>&1 &
  theirs=$(find_window '^rgbhsv.exe$')
  worst=0
  last=$((${#steps[@]} - 1))
  for i in "${!steps[@]}"; do
    type_keys "${steps[$i]}"
    send "$theirs" "${steps[$i]}"
    for side in ours theirs; do
      settled "${!side}" "$work/$side-$scale-$i.png" $([ "$i" = 0 ] || echo "$work/$side-$scale-$((i - 1)).png") ||
        echo "  $side did not settle after '${steps[$i]}'"
    done
    # The window is a whole number of the compositor's pixels: at scale 2 a
    # client area of odd width has a column of the dialog's face beside it.
    size=$(identify -format %wx%h "$work/theirs-$scale-$i.png")
    convert "$work/ours-$scale-$i.png" -crop "$size+0+0" +repage "$work/client.png"
    differ=$(differ "$work/client.png" "$work/theirs-$scale-$i.png")
    echo "  scale $scale ($dpi dpi), after '${steps[$i]:-start}': $differ pixels differ"
    [ "$differ" -gt "$worst" ] && worst=$differ
  done
  check "at scale $scale the window's pixels are the Windows build's at $dpi dpi (at worst $worst differ)" [ "$worst" = 0 ]
  w=${size%x*} h=${size#*x}
  check "at scale $scale the window is the client area ($size) made whole in the compositor's pixels ($(identify -format %wx%h "$work/ours-$scale-$last.png"))" \
    [ "$(identify -format %wx%h "$work/ours-$scale-$last.png")" = "$(((w + scale - 1) / scale * scale))x$(((h + scale - 1) / scale * scale))" ]
  /usr/lib/wine/wineserver -k 2> /dev/null
  /usr/lib/wine/wineserver -w 2> /dev/null
  if [ "$scale" = 1 ]; then
    # Moved to scale 2 as it stands: laid out afresh as a window opened
    # there and given the same keys, which the next round takes.
    before=${window#*|}
    swaymsg output HEADLESS-1 scale 2 > /dev/null
    swaymsg "[app_id=rgbhsv] move position 0 0" > /dev/null
    eventually resized "${before#* }"
    settled "wl:${window#*|}" "$work/rescaled.png" "$work/ours-1-$last.png"
    # The clipboard both ways: the field's 255 copied, then 45 put there by
    # another program pasted over it.
    type_keys "End shift+Home ctrl+c"
    eventually bash -c '[ "$(wl-paste -n)" = 255 ]'
    check "a number copied in the window pastes in another program ($(wl-paste -n))" [ "$(wl-paste -n)" = 255 ]
    printf 45 | wl-copy
    type_keys "shift+Home ctrl+v shift+Home ctrl+c"
    eventually bash -c '[ "$(wl-paste -n)" = 45 ]'
    check "a number another program copied pastes in the window ($(wl-paste -n) copied back)" [ "$(wl-paste -n)" = 45 ]
  else
    check "moved to an output of scale 2, the open dialog looks as one opened there ($(differ "$work/rescaled.png" "$work/ours-2-$last.png") pixels differ)" \
      [ "$(differ "$work/rescaled.png" "$work/ours-2-$last.png")" = 0 ]
  fi
  swaymsg "[app_id=rgbhsv] kill" > /dev/null
  ended "$ours_pid" 10
  status=$?
  check "at scale $scale the compositor's close ends it with status 0 ($status)" [ "$status" = 0 ]
  [ -n "${RGBHSV_KEEP_SCREENSHOTS:-}" ] && cp "$work"/*-"$scale"-*.png "$work"/rescaled.png "$RGBHSV_KEEP_SCREENSHOTS"/
done
[ "$failures" = 0 ]
