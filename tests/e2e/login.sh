#!/usr/bin/env bash
# Login: the login window a second after start, the main window only after
# the right password, three wrong passwords end the program.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_make_register abc123
main='Vostrel1.01.2010.0609'

e2e_start
seen_main_early=0
for _ in $(seq 8); do
  e2e_window_visible "$main" && seen_main_early=1
  sleep 0.1
done
login=$(e2e_wait_window '管理登录' 5)
e2e_check "the login window appears about a second after start" test -n "$login"
e2e_check "no main window is on screen before the login" test "$seen_main_early" -eq 0 -a "$(e2e_window_visible "$main" && echo 1 || echo 0)" -eq 0
mkdir -p "$SHOT_DIR"
e2e_shot "$SHOT_DIR/login-window.png"
xdotool windowfocus --sync "$login" 2>/dev/null
xdotool type --delay 30 abc123
xdotool key Return
win=$(e2e_wait_window "$main" 5)
e2e_check "the right password shows the main window" test -n "$win"
e2e_check "the login window is gone" bash -c "! xdotool search --onlyvisible --name '^管理登录\$' >/dev/null 2>&1"
sleep 0.5
e2e_shot "$SHOT_DIR/main-window-after-login.png"
kill "$E2E_APP_PID"; wait "$E2E_APP_PID" 2>/dev/null

# Three wrong passwords: the exit message, then the end.
e2e_start
login=$(e2e_wait_window '管理登录' 5)
for wrong in wrong1 wrong2 wrong3; do
  xdotool windowfocus --sync "$login" 2>/dev/null
  xdotool type --delay 20 "$wrong"
  xdotool key Return
  sleep 0.4
done
box=$(e2e_wait_window Vostrel 5)
e2e_check "the third wrong password shows the exit message" test -n "$box"
e2e_shot "$SHOT_DIR/three-wrong-passwords.png"
xdotool windowfocus --sync "$box" 2>/dev/null; xdotool key Return
e2e_wait_exit "$E2E_APP_PID" 5
e2e_check "the program ends after the message" bash -c "! kill -0 $E2E_APP_PID 2>/dev/null"
e2e_finish
