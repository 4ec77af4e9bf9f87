#!/usr/bin/env bash
# Adding a visitor: after the login the guard types a visitor into the real
# form and presses "添加"; the success box comes, then the row is in the
# register and in the grid.
source "$(dirname "$0")/lib.sh"
e2e_setup
SHOT_DIR=${SHOT_DIR:-$E2E_DIR/shots}
mkdir -p "$SHOT_DIR"
e2e_make_register abc123
e2e_start

login=$(e2e_wait_window 管理登录 10)
e2e_check "the login window appears" test -n "$login"
# The skinned frame puts the client area CX, CY into each window.
e2e_client_offset
sleep 0.5
xdotool mousemove --window "$login" $((150 + CX)) $((60 + CY)) click 1 2>/dev/null
xdotool type --delay 40 abc123
xdotool key Return
main=$(e2e_wait_window Vostrel1.01.2010.0609 10)
e2e_check "the right password shows the main window" test -n "$main"
sleep 0.3

# Brightness of the grid's first line: white while the register is empty.
first_row() {
    import -window "$main" -crop 600x12+$((40 + CX))+$((203 + CY)) +repage png:- 2>/dev/null | convert - -format '%[fx:mean]' info:
}
empty_row=$(first_row)

# The record form, field by field, at their places in the main window.
e2e_type_into "$main" 150 399 "QQ帐号"
e2e_type_into "$main" 165 423 "张三"
e2e_type_into "$main" 165 447 "440101199001011234"
e2e_type_into "$main" 165 471 "13800138000"
e2e_type_into "$main" 165 543 "送货 O'Neil"
xdotool mousemove --window "$main" $((476 + CX)) $((490 + CY)) click 1
sleep 0.1
xdotool type --delay 30 "第一行"
xdotool key Return
xdotool type --delay 30 "第二行"
xdotool mousemove --window "$main" $((671 + CX)) $((518 + CY)) click 1

box=$(e2e_wait_window Vostrel 5)
e2e_check "pressing 添加 shows a plain message box" test -n "$box"
e2e_shot "$SHOT_DIR/add_visitor_message.png"
xdotool key Return
sleep 0.5
e2e_check "the message box is gone after Return" bash -c "! xdotool search --onlyvisible --name '^Vostrel\$' >/dev/null 2>&1"
e2e_shot "$SHOT_DIR/add_visitor_register.png"
listed_row=$(first_row)
e2e_check "the grid's first line shows the new, highlighted row ($empty_row -> $listed_row)" \
    awk -v a="$empty_row" -v b="$listed_row" 'BEGIN { exit !(a > 0.95 && b < 0.8) }'

# What the register holds now.
stored=$(printf "PRAGMA key='p7Rx2mQ9tLw4';\nPRAGMA cipher_page_size=16384;\nselect 分类||'|'||姓名||'|'||身份证||'|'||手机||'|'||来由||'|'||replace(备注,char(10),'/') from data;\n" \
    | sqlcipher "$E2E_APP/_.udb" 2>/dev/null | tail -n 1)
echo "stored: $stored"
e2e_check "the visitor is stored as typed" test "$stored" = "QQ帐号|张三|440101199001011234|13800138000|送货 O'Neil|第一行/第二行"
e2e_check "the program is still running" kill -0 "$E2E_APP_PID"
e2e_finish
