#!/usr/bin/env bash
# Start-up error path: "class.dat" cannot be read (a folder of that name).
# The box may stay open for any length of time; after OK the program goes on
# and the login window asks for the password.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_make_register abc123
mkdir "$E2E_APP/class.dat"

# message_box: a visible window captioned "Vostrel" that is not the tray icon.
message_box() {
    local icon w
    icon=$(tray_icon)
    for w in $(xdotool search --onlyvisible --name '^Vostrel$' 2>/dev/null); do
        [ "$w" = "$icon" ] || { echo "$w"; return 0; }
    done
    return 1
}

e2e_start
box=
for _ in $(seq 100); do box=$(message_box) && break; sleep 0.1; done
e2e_check "the start-up error box appears" test -n "$box"
sleep 3 # the login check's timer ticks while the box is open
e2e_check "the program still runs with the box open for three seconds" kill -0 "$E2E_APP_PID"
e2e_check "no login window while the box is open" bash -c "! xdotool search --onlyvisible --name '^管理登录\$' >/dev/null 2>&1"
if [ -n "${SHOT_DIR:-}" ]; then
    mkdir -p "$SHOT_DIR"
    e2e_shot "$SHOT_DIR/startup_error_box.png"
fi
xdotool windowactivate --sync "$box" 2>/dev/null; xdotool key --window "$box" Return
login=$(e2e_wait_window 管理登录 5)
e2e_check "after OK the login window appears" test -n "$login"
sleep 1
e2e_check "the program keeps running" kill -0 "$E2E_APP_PID"
e2e_check "the error box is gone" bash -c "! xwininfo -id $box 2>/dev/null | grep -q IsViewable"
e2e_finish
