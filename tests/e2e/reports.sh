#!/usr/bin/env bash
# Visits by date on a real desktop: Ctrl+D opens 按日期查看, Space takes its
# first pick, 今天, and the list shows today's visits alone (F9 then records
# the departure of the first row listed: today's first visitor, not
# yesterday's visitor above him in the full list).
# The on-site view shows the open visits of earlier days in their own
# colour (the second one, below the current row's highlight), and
# 统计... opens the statistics of this month.
source "$(dirname "$0")/lib.sh"
e2e_setup
SHOT_DIR=${SHOT_DIR:-$E2E_DIR/shots}
mkdir -p "$SHOT_DIR"
e2e_make_register abc123

today=$(date +%Y/%-m/%-d)
yesterday=$(date -d yesterday +%Y/%-m/%-d)
before=$(date -d '2 days ago' +%Y/%-m/%-d)
e2e_sql "insert into data (分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注,日期) values
 ('QQ帐号','昨日客','440106199003071231','13800138000','','送货','广州','$yesterday 8:00:00','','','$yesterday 8:00:00'),
 ('QQ帐号','今日甲','440106198512120012','13900139000','','面试','深圳','$today 8:10:00','','','$today 8:10:00'),
 ('网站帐号','今日乙','110101199001011234','13700137000','','维修','北京','$today 8:20:00','$today 9:20:00','','$today 8:20:00'),
 ('QQ帐号','前日客','310104198001010011','13600136000','','送货','上海','$before 17:00:00','','','$before 17:00:00');" >/dev/null
left_of() { e2e_sql "select 离开 from data where 姓名='$1';"; }

e2e_start_and_log_in abc123
e2e_shot "$SHOT_DIR/reports_after_login.png"

xdotool key ctrl+d
dialog=$(e2e_wait_window 按日期查看 5)
e2e_check "Ctrl+D opens 按日期查看" test -n "$dialog"
sleep 0.5
e2e_shot "$SHOT_DIR/reports_date_dialog.png"
xdotool key space
sleep 0.8
e2e_check "今天 closes the dialog" bash -c "! xdotool search --onlyvisible --name '^按日期查看\$' >/dev/null 2>&1"
e2e_shot "$SHOT_DIR/reports_today.png"
# Without a window manager the closed dialog hands the keyboard to nobody:
# a click on the first row listed takes it back (and makes that row current).
xdotool mousemove --window "$main" $((200 + CX)) $((209 + CY)) click 1
sleep 0.3
xdotool key F9
sleep 0.6
e2e_check "the first row listed is today's first visitor" test -n "$(left_of 今日甲)"
e2e_check "yesterday's visitor was not listed first" test -z "$(left_of 昨日客)"

xdotool key F8
sleep 0.6
e2e_shot "$SHOT_DIR/reports_overnight.png"

# 统计..., the ninth item of the list's menu, from the keyboard on the list.
xdotool mousemove --window "$main" $((200 + CX)) $((209 + CY)) click 1
sleep 0.3
xdotool key shift+F10
sleep 0.5
xdotool key Down Down Down Down Down Down Down Down Down Return
stats=$(e2e_wait_window 统计 10)
e2e_check "统计... opens the statistics window" test -n "$stats"
sleep 1
e2e_shot "$SHOT_DIR/reports_statistics.png"
xdotool key Escape
sleep 0.3
e2e_check "the program is still running" kill -0 "$E2E_APP_PID"
e2e_finish
