#!/usr/bin/env bash
# Start-up: the missing register, the single instance, a running program.
source "$(dirname "$0")/lib.sh"
e2e_setup

# Without "_.udb": the message, then the end about a second after Enter.
e2e_start
box=$(e2e_wait_window Vostrel 10)
e2e_check "missing register shows its message box" test -n "$box"
e2e_check "no desktop entry is written without a register" test ! -e "$HOME/Desktop/Vostrel.desktop"
xdotool windowactivate --sync "$box" 2>/dev/null; xdotool key --window "$box" Return
t0=$(date +%s%N)
e2e_wait_exit "$E2E_APP_PID" 5
t1=$(date +%s%N)
elapsed=$(( (t1 - t0) / 1000000 ))
e2e_check "the program ends after the message" bash -c "! kill -0 $E2E_APP_PID 2>/dev/null"
e2e_check "it ends about one second after Enter (${elapsed} ms)" test "$elapsed" -ge 700 -a "$elapsed" -le 2500

# With a register: it keeps running, the main window not shown.
e2e_make_register abc123
e2e_start
first=$E2E_APP_PID
sleep 0.6
e2e_check "the main window is not shown at start" bash -c "! xdotool search --onlyvisible --name '^Vostrel1.01.2010.0609\$' >/dev/null 2>&1"
e2e_check "the program keeps running with a register" kill -0 "$first"

# A second instance ends at once without a window.
"$E2E_APP/vostrel" >/dev/null 2>&1 &
second=$!
e2e_wait_exit "$second" 3
e2e_check "a second instance exits at once" bash -c "! kill -0 $second 2>/dev/null"
wait "$second"; rc=$?
e2e_check "the second instance exits with status 0" test "$rc" -eq 0
e2e_check "the first instance is unaffected" kill -0 "$first"
e2e_check "the desktop entry is written at start" test -f "$HOME/Desktop/Vostrel.desktop"
e2e_finish
