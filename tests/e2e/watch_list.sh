#!/usr/bin/env bash
# The watch list: an entry added through its window, then a visitor typed
# with that identity number; the edit turns amber, "添加" asks, No is the
# default answer, and nothing is added.
source "$(dirname "$0")/lib.sh"
e2e_setup
SHOT_DIR=${SHOT_DIR:-$E2E_DIR/shots}
mkdir -p "$SHOT_DIR"
e2e_make_register abc123
e2e_start_and_log_in abc123
WARN_X=235 # inside 身份证, right of the typed number

# The window by its key; Tab from the list reaches "添加".
xdotool key ctrl+b
list=$(e2e_wait_window 黑名单 5)
e2e_check "Ctrl+B opens the watch list window" test -n "$list"
sleep 0.3
xdotool key Tab space
entry=$(e2e_wait_window 添加到黑名单 5)
e2e_check "添加 asks for the entry" test -n "$entry"
sleep 0.3
xdotool type --delay 30 "Zhang San"
xdotool key Tab
xdotool type --delay 30 "110105 19491231002X"
xdotool key Tab Tab
xdotool type --delay 30 "fight at the gate"
xdotool key Return
sleep 0.5
e2e_shot "$SHOT_DIR/watch_list_window.png"
stored=$(e2e_sql "select 姓名||'|'||身份证||'|'||原因 from watch_list;" | tail -n 1)
e2e_check "the entry is stored ($stored)" test "$stored" = "Zhang San|110105 19491231002X|fight at the gate"
xdotool key Escape
sleep 0.3
e2e_check "Escape closes the window" bash -c "! xdotool search --onlyvisible --name '^黑名单\$' >/dev/null 2>&1"

# A visitor with that number, the final x in lower case.
e2e_type_into "$main" 150 399 "QQ帐号"
e2e_type_into "$main" 165 423 "Zhang San"
e2e_type_into "$main" 165 447 "11010519491231002x"
e2e_type_into "$main" 165 543 "visit"
sleep 0.3
e2e_shot "$SHOT_DIR/watch_list_warning_edit.png"
colour=$(e2e_pixel "$main" $((WARN_X + CX)) $((447 + CY)))
e2e_check "the identity number's edit is amber ($colour)" test "$colour" = "255,204,102"

xdotool mousemove --window "$main" $((671 + CX)) $((518 + CY)) click 1
box=$(e2e_wait_window 警告 5)
e2e_check "添加 asks in a box captioned 警告" test -n "$box"
sleep 0.3
e2e_shot "$SHOT_DIR/watch_list_question.png"
xdotool key Return
sleep 0.5
e2e_check "Return answers the default, and the box is gone" bash -c "! xdotool search --onlyvisible --name '^警告\$' >/dev/null 2>&1"
count=$(e2e_sql "select count(*) from data;" | tail -n 1)
e2e_check "No adds nothing ($count records)" test "$count" = 0
e2e_check "the program is still running" kill -0 "$E2E_APP_PID"
e2e_finish
