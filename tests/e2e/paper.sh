#!/usr/bin/env bash
# Paper on a real desktop: the pass of the current row and the roll call
# (Ctrl+P) through the real print dialog, which offers a PDF file in the
# documents folder when there is no printer; the PDFs hold the visits and
# the pass's code reads back. Then the pass typed at scanner speed into
# the main window records the departure.
source "$(dirname "$0")/lib.sh"
e2e_setup
SHOT_DIR=${SHOT_DIR:-$E2E_DIR/shots}
mkdir -p "$SHOT_DIR" "$HOME/Documents"
e2e_make_register abc123
printf '东门岗\n' >"$E2E_APP/site.txt"

# 张三 has left; 李四 (record 2) and 王五 are on site.
e2e_sql "insert into data (分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注,日期) values
 ('QQ帐号','张三','','13800138000','','送货','广州','2026/12/7 8:00:00','2026/12/7 9:00:00','','2026/12/7 8:00:00'),
 ('QQ帐号','李四','','13900139000','','面试','深圳','2026/12/7 8:10:00','','','2026/12/7 8:10:00'),
 ('网站帐号','王五','','13700137000','','维修','北京','2026/12/7 8:20:00','','','2026/12/7 8:20:00');" >/dev/null
left_of() { e2e_sql "select 离开 from data where 姓名='$1';"; }

e2e_start_and_log_in abc123
row_y() { echo $((209 + 18 * $1 + CY)); }

# The pass: 李四's row current, the menu from the keyboard, its last item.
xdotool mousemove --window "$main" $((200 + CX)) "$(row_y 1)" click 1
sleep 0.3
xdotool key shift+F10
sleep 0.5
xdotool key Up Return
dialog=$(e2e_wait_window 打印访客单 15)
e2e_check "打印访客单 opens the print dialog" test -n "$dialog"
sleep 0.8
e2e_shot "$SHOT_DIR/paper_pass_dialog.png"
xdotool key Return
pass="$HOME/Documents/访客单_2.pdf"
for i in $(seq 50); do [ -s "$pass" ] && break; sleep 0.2; done
sleep 0.5
e2e_check "the pass is printed to a PDF in the documents folder" test -s "$pass"
pdftoppm -r 150 -png -singlefile "$pass" "$SHOT_DIR/paper_pass" 2>/dev/null
e2e_check "the pass's code reads VST1:2" test "$(zbarimg --raw -q "$SHOT_DIR/paper_pass.png" 2>/dev/null)" = "VST1:2"
text=$(pdftotext "$pass" - 2>/dev/null)
for word in 东门岗 访客单 李四 面试 '2026/12/7 8:10:00'; do
    e2e_check "the pass shows $word" grep -qF "$word" <<<"$text"
done

# The roll call: Ctrl+P from the 姓名 edit.
xdotool mousemove --window "$main" $((165 + CX)) $((375 + CY)) click 1
sleep 0.2
xdotool key ctrl+p
dialog=$(e2e_wait_window 打印未离开名单 15)
e2e_check "Ctrl+P opens the roll call's print dialog" test -n "$dialog"
sleep 0.5
xdotool key Return
for i in $(seq 50); do ls "$HOME"/Documents/未离开名单_*.pdf >/dev/null 2>&1 && break; sleep 0.2; done
sleep 0.5
roll=$(ls "$HOME"/Documents/未离开名单_*.pdf 2>/dev/null | head -n1)
e2e_check "the roll call is printed to a PDF" test -s "$roll"
pdftoppm -r 80 -png -singlefile "$roll" "$SHOT_DIR/paper_roll_call" 2>/dev/null
text=$(pdftotext "$roll" - 2>/dev/null)
for word in 李四 王五 13900139000 未离开共2人; do
    e2e_check "the roll call shows $word" grep -qF "$word" <<<"$text"
done
e2e_check "the roll call leaves out who has left" bash -c "! grep -qF 张三 <<<'$text'"

# The scanner types the pass into the remarks at its speed, with Enter.
xdotool mousemove --window "$main" $((520 + CX)) $((470 + CY)) click 1
sleep 0.2
xdotool type --delay 8 "VST1:2"
xdotool key Return
sleep 0.8
e2e_shot "$SHOT_DIR/paper_scanned.png"
e2e_check "the scanned pass wrote 李四's departure" test -n "$(left_of 李四)"
e2e_check "王五 is still on site" test -z "$(left_of 王五)"
e2e_check "no message box came" bash -c "! xdotool search --onlyvisible --name '^Vostrel\$' >/dev/null 2>&1"
e2e_check "the program is still running" kill -0 "$E2E_APP_PID"
e2e_finish
