#!/usr/bin/env bash
# desktop_fit.sh KIND WxH [SCALE]: the main window on a desktop of that size,
# at that Qt scale factor: it lies inside the work area, maximise gives the
# record list the room and tells the window manager, restore brings it back.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_desktop.sh"
kind=$1 size=$2 scale=${3:-1}
export E2E_SCREEN=$size QT_SCALE_FACTOR=$scale
e2e_setup_desktop "$kind"
shots=${SHOT_DIR:-$E2E_DIR/shots}/fit_${kind}_${size}_x${scale}
mkdir -p "$shots"
e2e_make_register abc123
e2e_start

# The password box takes the focus with the login window.
login=$(e2e_wait_window "$LOGIN" 10)
e2e_check "the login window appears" test -n "$login"
sleep 0.5
xdotool windowfocus --sync "$login" 2>/dev/null
xdotool type --delay 30 abc123
xdotool key Return
main=$(e2e_wait_window "$MAIN" 10)
e2e_check "the right password shows the main window" test -n "$main"
sleep 1
workarea
geometry "$main"
echo "work area $AX,$AY ${AW}x$AH; main window $GX,$GY ${GW}x$GH"
e2e_check "the main window lies inside the work area" inside_workarea "$main"
e2e_shot "$shots/normal.png"
normal="$GX,$GY,$GW,$GH"

maximised() { net_state "$1" | grep -q _NET_WM_STATE_MAXIMIZED_VERT && net_state "$1" | grep -q _NET_WM_STATE_MAXIMIZED_HORZ; }
not_maximised() { ! net_state "$1" | grep -q _NET_WM_STATE_MAXIMIZED; }
caption_button "$main" "$(awk -v s="$scale" 'BEGIN { printf "%d", 35 * s }')"
e2e_check "the maximise button fills the work area" e2e_poll 10 is_workarea "$main"
e2e_check "the window manager is told: _NET_WM_STATE maximised" e2e_poll 10 maximised "$main"
geometry "$main"; echo "maximised: $GX,$GY ${GW}x$GH $(net_state "$main")"
sleep 0.5
e2e_shot "$shots/maximised.png"
caption_button "$main" "$(awk -v s="$scale" 'BEGIN { printf "%d", 35 * s }')"
e2e_check "the restore button brings back size and place ($normal)" e2e_poll 10 same_geometry "$main" "$normal"
e2e_check "and _NET_WM_STATE is cleared" e2e_poll 10 not_maximised "$main"
sleep 0.5
e2e_shot "$shots/restored.png"
kill "$E2E_APP_PID" 2>/dev/null
e2e_finish
