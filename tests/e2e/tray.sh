#!/usr/bin/env bash
# Notification area: the icon and its tip, clicks on it, its menu, hiding to
# it and back through the login, the tray host restarting, the exit item.
source "$(dirname "$0")/lib.sh"
e2e_setup
mkdir -p "${SHOT_DIR:=$E2E_DIR}"
MAIN='Vostrel1.01.2010.0609'
LOGIN='管理登录'

no_tray_icon() { ! tray_icon >/dev/null; }
quiet() { "$@" >/dev/null; }
window_shown() { e2e_wait_window "$@" >/dev/null; }
window_id() { xdotool search --name "^$1\$" 2>/dev/null | head -n1; }
skips_taskbar() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_SKIP_TASKBAR; }
has_state() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q "$2"; }
log_in() {
    local id
    id=$(e2e_wait_window "$LOGIN" 5) || return 1
    xdotool windowfocus --sync "$id" 2>/dev/null
    sleep 0.2
    xdotool type --delay 30 "$1"
    xdotool key Return
}
# Opens the tray menu with a right press and chooses the n-th item by keyboard.
menu_choose() {
    point_at_icon "$(tray_icon)"
    xdotool mousedown 3; sleep 0.2; xdotool mouseup 3
    sleep 0.4
    local i
    for i in $(seq "$1"); do xdotool key Down; sleep 0.05; done
    xdotool key Return
    sleep 0.6
}

e2e_make_register abc123
e2e_start
icon=$(wait_tray_icon 5)
e2e_check "the icon is in the notification area once the program runs" test -n "$icon"

# The start-up login, then in.
e2e_check "the login window comes up at start" window_shown "$LOGIN" 5
# Hovering shows the tip.
before=$(popup_windows | wc -l)
point_at_icon "$icon"
sleep 0.3
xdotool mousemove_relative 1 0
sleep 2
e2e_shot "$SHOT_DIR/tray_tip.png"
e2e_check "hovering over the icon shows a tip" test "$(popup_windows | wc -l)" -gt "$before"
xdotool mousemove 600 600
sleep 0.3

log_in abc123
e2e_check "the right password shows the main window" window_shown "$MAIN" 5
main=$(window_id "$MAIN")
e2e_check "the main window is on the taskbar" bash -c "! xprop -id $main _NET_WM_STATE | grep -q SKIP_TASKBAR"
# Another state of the window, which hiding and showing must leave alone.
xprop -id "$main" -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_ABOVE

# A right press opens the menu at the cursor; Escape closes it.
point_at_icon "$icon"
eval "$(xdotool getmouselocation --shell)"; px=$X; py=$Y
xdotool mousedown 3; sleep 0.2; xdotool mouseup 3
sleep 0.5
menu=$(popup_windows | head -n1)
e2e_check "a right press opens the menu" test -n "$menu"
if [ -n "$menu" ]; then
    eval "$(xdotool getwindowgeometry --shell "$menu")"
    e2e_check "the menu opens at the cursor ($X,$Y for $px,$py)" \
        test $((X - px)) -le 40 -a $((px - X)) -le $((WIDTH + 40)) -a $((py - Y)) -le $((HEIGHT + 40)) -a $((Y - py)) -le 40
fi
e2e_shot "$SHOT_DIR/tray_menu.png"
xdotool key Escape
sleep 0.4
e2e_check "Escape closes the menu" test -z "$(popup_windows)"

# "隐藏窗口": hidden, off the taskbar, logged out.
menu_choose 3
e2e_check "隐藏窗口 hides the main window" bash -c "! xdotool search --onlyvisible --name '^$MAIN\$' | grep -q ."
e2e_check "the hidden window is off the taskbar" skips_taskbar "$main"

# A left click while logged out brings the login window, not the main window.
point_at_icon "$(tray_icon)"
xdotool mousedown 1
sleep 0.5
e2e_check "nothing comes up on the press of the left button alone" bash -c "! xdotool search --onlyvisible --name '^$LOGIN\$' | grep -q ."
xdotool mouseup 1
e2e_check "the release brings the login window while logged out" window_shown "$LOGIN" 3
e2e_check "the main window stays hidden" bash -c "! xdotool search --onlyvisible --name '^$MAIN\$' | grep -q ."
e2e_check "the login window is off the taskbar too" skips_taskbar "$(window_id "$LOGIN")"
log_in abc123
e2e_check "the password brings the main window back" window_shown "$MAIN" 5
sleep 0.3
e2e_check "the main window is back on the taskbar" bash -c "! xprop -id $main _NET_WM_STATE | grep -q SKIP_TASKBAR"
e2e_check "its other state is as before" has_state "$main" _NET_WM_STATE_ABOVE

# "显示窗口" after hiding asks for the password again.
menu_choose 3
menu_choose 2
e2e_check "显示窗口 after hiding asks for the password" window_shown "$LOGIN" 3
e2e_check "and the main window is not shown" bash -c "! xdotool search --onlyvisible --name '^$MAIN\$' | grep -q ."
log_in abc123
window_shown "$MAIN" 5

# The tray host restarting: the icon comes back.
kill "$E2E_TRAY_PID"
sleep 1
e2e_check "the icon goes with the tray host" no_tray_icon
e2e_start_tray
e2e_check "the icon comes back when the tray host restarts" quiet wait_tray_icon 10
e2e_check "the program still runs" kill -0 "$E2E_APP_PID"

# Text copied while it runs is gone after "退出程序", and so is the icon.
printf 'copied while running' | xclip -selection clipboard
sleep 0.3
e2e_check "the clipboard holds the copied text" test "$(xclip -o -selection clipboard 2>/dev/null)" = "copied while running"
menu_choose 4
e2e_check "退出程序 ends the program" e2e_wait_exit "$E2E_APP_PID" 5
e2e_check "the icon is gone" no_tray_icon
e2e_check "the copied text is gone from the clipboard" test -z "$(xclip -o -selection clipboard 2>/dev/null)"
e2e_finish
