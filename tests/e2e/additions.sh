#!/usr/bin/env bash
# The record list's additions on a real desktop: a right click on a row and
# "登记离开" through the skinned menu; F8 (only visitors still on site) and F9
# (departure of the current row) from the keyboard; the returning-visitor
# list and a faulty identity number in red.
source "$(dirname "$0")/lib.sh"
e2e_setup
SHOT_DIR=${SHOT_DIR:-$E2E_DIR/shots}
mkdir -p "$SHOT_DIR"
e2e_make_register abc123

# Four visits: 张三 and 赵六 have left, 李四 and 王五 are still on site.
e2e_sql "insert into data (分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注,日期) values
 ('QQ帐号','张三','440106199003071231','13800138000','','送货','广州','2026/12/7 8:00:00','2026/12/7 9:00:00','','2026/12/7 8:00:00'),
 ('QQ帐号','李四','440106198512120012','13900139000','','面试','深圳','2026/12/7 8:10:00','','','2026/12/7 8:10:00'),
 ('网站帐号','王五','110101199001011234','13700137000','','维修','北京','2026/12/7 8:20:00','','','2026/12/7 8:20:00'),
 ('网站帐号','赵六','310104198001010011','13600136000','','送货','上海','2026/12/7 8:30:00','2026/12/7 10:00:00','','2026/12/7 8:30:00');" >/dev/null
left_of() { e2e_sql "select 离开 from data where 姓名='$1';"; }

e2e_start_and_log_in abc123

# Rows of the list: 18 pixels high, the first at client y 200.
row_y() { echo $((209 + 18 * $1 + CY)); }

# 1. Right click on 王五's row, "登记离开" in the menu.
xdotool mousemove --window "$main" $((200 + CX)) "$(row_y 2)"
xdotool mousedown 3; sleep 0.2; xdotool mouseup 3
sleep 0.6
menu=$(popup_windows | head -n1)
e2e_check "a right click on a row opens the list's menu" test -n "$menu"
e2e_shot "$SHOT_DIR/additions_menu.png"
if [ -n "$menu" ]; then
    eval "$(xdotool getwindowgeometry --shell "$menu")"
    echo "menu at $X,$Y size $WIDTH x $HEIGHT"
    # The first item: a few pixels below the menu's top edge.
    xdotool mousemove $((X + WIDTH / 3)) $((Y + 12)) click 1
fi
sleep 0.6
e2e_check "登记离开 wrote 王五's departure" test -n "$(left_of 王五)"
e2e_check "李四 is still on site" test -z "$(left_of 李四)"
e2e_check "赵六 keeps the departure he had" test "$(left_of 赵六)" = "2026/12/7 10:00:00"
e2e_shot "$SHOT_DIR/additions_after_menu.png"

# 2. F8 lists who is still on site (李四 alone, the current row); F9 lets him leave.
xdotool key F8
sleep 0.5
e2e_shot "$SHOT_DIR/additions_on_site.png"
xdotool key F9
sleep 0.6
e2e_check "F8 then F9 wrote 李四's departure" test -n "$(left_of 李四)"
e2e_check "张三's departure is unchanged" test "$(left_of 张三)" = "2026/12/7 9:00:00"
e2e_check "no message box came" bash -c "! xdotool search --onlyvisible --name '^Vostrel\$' >/dev/null 2>&1"

# The menu key and Shift+F10 on the list (now empty: nobody is on site) open
# the menu too; Escape closes it.
xdotool mousemove --window "$main" $((200 + CX)) "$(row_y 0)" click 1
sleep 0.3
for keys in Menu shift+F10; do
    xdotool key "$keys"
    sleep 0.5
    e2e_check "$keys on the list opens its menu" test -n "$(popup_windows | head -n1)"
    xdotool key Escape
    sleep 0.3
done

# 3. A returning visitor: six characters of an identity number offer him.
xdotool mousemove --window "$main" $((165 + CX)) $((447 + CY)) click 1
sleep 0.2
xdotool type --delay 60 "440106"
sleep 0.8
e2e_shot "$SHOT_DIR/additions_suggestions.png"
xdotool key Down Return
sleep 0.4
xdotool key Escape
# 4. A wrong check character: red once the field is left.
xdotool mousemove --window "$main" $((165 + CX)) $((447 + CY)) click 1
xdotool key ctrl+a BackSpace
xdotool type --delay 40 "110105194912310021"
xdotool key Escape Tab
sleep 0.3
xdotool mousemove --window "$main" $((120 + CX)) $((452 + CY))
sleep 1.5
e2e_shot "$SHOT_DIR/additions_red_id.png"
e2e_check "the program is still running" kill -0 "$E2E_APP_PID"
e2e_finish
