#!/usr/bin/env bash
# The skin on screen: the login window, the main window on each tab, a
# message box and the tray menu are drawn from the shipped skin.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_desktop.sh"
e2e_setup
SHOT_DIR=${SHOT_DIR:-$E2E_DIR/shots}
mkdir -p "$SHOT_DIR"
ART="$BIN_DIR/../src/skin/shipped-skin"
MAIN='Vostrel1.01.2010.0609'
e2e_client_offset

# art_pixel FILE X Y: one pixel of a skin bitmap as "r,g,b".
art_pixel() {
    convert "$ART/$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- 2>/dev/null | awk 'NR == 2 { print $2 }' | tr -d '()' | cut -d, -f1-3
}
# caption_is_skinned WINDOW: a pixel of the caption band right of the text
# and above the text back and the buttons is the top edge's (its middle is
# stretched).
caption_is_skinned() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    local got want
    got=$(e2e_pixel "$1" $((WIDTH - 90)) 2)
    want=$(art_pixel top.bmp 60 2)
    echo "caption pixel $got, top edge $want"
    [ -n "$got" ] && [ "$got" = "$want" ]
}
# window_size_is WINDOW W H: the window is the client plus the frame.
window_size_is() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "window $WIDTH x $HEIGHT"
    [ "$WIDTH" -eq $(($2 + 2 * CX)) ] && [ "$HEIGHT" -eq $(($3 + CY + CX)) ]
}

e2e_make_register abc123
e2e_start
login=$(e2e_wait_window 管理登录 10)
e2e_check "the login window appears" test -n "$login"
sleep 0.8
e2e_shot "$SHOT_DIR/skin_login.png"
e2e_check "the login window has the skin's caption" caption_is_skinned "$login"
e2e_check "the login window is its client area plus the frame" window_size_is "$login" 294 161

e2e_type_password "$login" abc123
main=$(e2e_wait_window "$MAIN" 10)
e2e_check "the right password shows the main window" test -n "$main"
sleep 0.8
e2e_check "the main window has the skin's caption" caption_is_skinned "$main"
e2e_check "the main window is its client area plus the frame" window_size_is "$main" 716 687
e2e_shot "$SHOT_DIR/skin_main_tab1.png"
# The tabs sit at the top of the tab widget (client y 97).
for tab in 2 3; do
    xdotool mousemove --window "$main" $((CX + 30 + (tab - 1) * 70)) $((CY + 108)) click 1
    sleep 0.5
    e2e_shot "$SHOT_DIR/skin_main_tab$tab.png"
done
xdotool mousemove --window "$main" $((CX + 30)) $((CY + 108)) click 1
sleep 0.3

# "添加" with an empty form: a plain message box.
xdotool mousemove --window "$main" $((671 + CX)) $((518 + CY)) click 1
box=$(e2e_wait_window Vostrel 5)
e2e_check "pressing 添加 on an empty form shows a message box" test -n "$box"
sleep 0.8
e2e_shot "$SHOT_DIR/skin_message.png"
[ -n "$box" ] && e2e_check "the message box has the skin's caption" caption_is_skinned "$box"
xdotool key Return
sleep 0.5

# The tray menu: its corner is the menu background's corner.
icon=$(wait_tray_icon 5)
e2e_check "the tray icon is there" test -n "$icon"
if [ -n "$icon" ]; then
    point_at_icon "$icon"
    xdotool mousedown 3; sleep 0.2; xdotool mouseup 3
    sleep 0.6
    menu=$(popup_windows | head -n1)
    e2e_check "a right press opens the tray menu" test -n "$menu"
    xdotool key Down # the first item selected
    sleep 0.3
    e2e_shot "$SHOT_DIR/skin_tray_menu.png"
    if [ -n "$menu" ]; then
        got=$(e2e_pixel "$menu" 1 1)
        want=$(art_pixel menubackground.bmp 1 1)
        e2e_check "the tray menu is drawn on the menu background ($got, $want)" test "$got" = "$want"
    fi
    xdotool key Escape
fi
e2e_check "the program is still running" kill -0 "$E2E_APP_PID"

# Without a window manager: maximise, the system menu key, the close key.
geometry "$main"; g="$GX,$GY,$GW,$GH"
full_screen() { geometry "$1"; echo "window $GX,$GY,$GW,$GH"; [ "$GX,$GY,$GW,$GH" = "0,0,1280,1024" ]; }
xdotool mousemove $((GX + GW - 35)) $((GY + 14)) click 1
e2e_check "the maximise button fills the screen" e2e_poll 3 full_screen "$main"
xdotool mousemove 300 10 click --repeat 2 --delay 80 1
e2e_check "a double click on the caption restores size and place" e2e_poll 3 same_geometry "$main" "$g"
xdotool windowfocus --sync "$main" 2>/dev/null
xdotool key alt+space
e2e_check "Alt+Space opens the system menu at the client origin" e2e_poll 3 menu_at $((GX + CX)) $((GY + CY))
e2e_shot "$SHOT_DIR/skin_system_menu.png"
xdotool key Escape
sleep 0.3
xdotool windowfocus --sync "$main" 2>/dev/null
xdotool key alt+F4
e2e_check "Alt+F4 closes the main window, which ends the program" e2e_wait_exit "$E2E_APP_PID" 5
e2e_finish
