#!/usr/bin/env bash
# Two gates of one site on one display: a real PostgreSQL server (run through
# tests/site/with-site-server.sh), vostrel-site init and add-gate twice, two
# program folders each with its own register and gate file. A visitor typed
# at the front gate shows in the back gate's list, read back by exporting
# that list; a screenshot shows the two windows side by side.
source "$(dirname "$0")/lib.sh"
[ -n "${VOSTREL_TEST_PG_ADMIN:-}" ] || { echo "run through tests/site/with-site-server.sh"; exit 1; }

# E2E_DESKTOP=openbox or xfce runs the two gates on that desktop, under
# zh_CN.UTF-8; without it, on a bare X server with a tray.
if [ -n "${E2E_DESKTOP:-}" ]; then
    source "$(dirname "$0")/lib_desktop.sh"
    E2E_SCREEN=1600x900 e2e_setup_desktop "$E2E_DESKTOP"
else
    e2e_private_home
    e2e_start_xvfb 1600x900x24
    export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
    unset WAYLAND_DISPLAY
    e2e_start_tray
fi
SHOT_DIR=${SHOT_DIR:-$E2E_DIR/shots}
mkdir -p "$SHOT_DIR"
e2e_client_offset

# The site: its CA is the one that signed the test server's certificate.
site=$VOSTREL_TEST_PG_SCRATCH/site
mkdir -p "$site"
cp "$VOSTREL_TEST_PG_CA_CERT" "$site/ca.crt"
cp "$VOSTREL_TEST_PG_CA_KEY" "$site/ca.key"
tool() { (cd "$VOSTREL_TEST_PG_SCRATCH" && "$BIN_DIR/vostrel-site" --site "$site" "$@"); }
init=$(tool init "$VOSTREL_TEST_PG_ADMIN" --address "localhost:$VOSTREL_TEST_PG_PORT")
e2e_check "vostrel-site init sets up the site" test $? -eq 0
grep -E '^\s*host(no)?ssl' <<<"$init" | sed 's/^\s*//' >>"$VOSTREL_TEST_PG_DATA/pg_hba.conf"
grep -E '^\s*ssl_crl_file' <<<"$init" | sed 's/^\s*//' >>"$VOSTREL_TEST_PG_DATA/postgresql.conf"
psql -q "$VOSTREL_TEST_PG_ADMIN" -c "select pg_reload_conf()" >/dev/null

# window_of PID PATTERN SECONDS: the id of the process's visible window whose
# name matches, as soon as it shows.
window_of() {
    local i id
    for i in $(seq $(($3 * 10))); do
        id=$(xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# gate_folder NAME: a program folder of its own, with a register and the
# gate's file; its HOME and runtime folder are its own, so both run at once.
gate_folder() {
    local folder="$E2E_DIR/$1"
    mkdir -p "$folder/home/Desktop" "$folder/run"
    chmod 700 "$folder/run"
    cp "$BIN_DIR/vostrel" "$folder/vostrel"
    "$BIN_DIR/vostrel-initdb" "$folder" abc123 >/dev/null
    tool add-gate "$1" --out "$folder/gatefile" >/dev/null
    cp "$folder/gatefile/vostrel-gate.pem" "$folder/vostrel-gate.pem"
    chmod 600 "$folder/vostrel-gate.pem"
}

# start_gate NAME X: starts the gate's program, logs in, moves its window
# to X; sets the pid and window id in PID_<NAME> and WIN_<NAME>.
start_gate() {
    local folder="$E2E_DIR/$1" pid login main i x
    HOME="$folder/home" XDG_RUNTIME_DIR="$folder/run" "$folder/vostrel" >"$folder/app.log" 2>&1 &
    pid=$!
    E2E_PIDS+=($pid)
    login=$(window_of "$pid" '^管理登录$' 10)
    e2e_check "$1: the login window appears" test -n "$login"
    # The password goes to the window under the pointer; a program still
    # starting can miss it: typed again until the main window shows.
    for attempt in 1 2 3; do
        sleep 1
        xdotool windowfocus "$login" 2>/dev/null
        e2e_type_password "$login" abc123
        for i in $(seq 50); do
            main=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Vostrel1.01.2010.0609$' 2>/dev/null | head -n1)
            xwininfo -id "$login" 2>/dev/null | grep -q IsViewable && main=""
            [ -n "$main" ] && break 2
            sleep 0.1
        done
        echo "$1: password typed again (attempt $attempt)"
    done
    e2e_check "$1: the main window shows after the login" test -n "$main"
    # The program places its window in the work area once shown, which a
    # slow start does after the move: moved again until it stays.
    for attempt in 1 2 3 4 5; do
        xdotool windowmove "$main" "$2" 40
        sleep 1
        x=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Position: \([0-9-]*\),.*/\1/p')
        [ "${x:-0}" -ge "$2" ] && [ "${x:-0}" -le $(($2 + 60)) ] && break
    done
    e2e_check "$1: its window stands where it was moved ($x)" test "${x:-0}" -le $(($2 + 60))
    printf -v "PID_$1" %s "$pid"
    printf -v "WIN_$1" %s "$main"
}

# stored NAME: the names in the gate's register.
stored() {
    printf "PRAGMA key='p7Rx2mQ9tLw4';\nPRAGMA cipher_page_size=16384;\nselect 姓名 from data;\n" |
        sqlcipher "$E2E_DIR/$1/_.udb" 2>/dev/null
}

# export_list NAME FILE: exports the list the gate's window shows now, with
# Ctrl+E and the save dialog, as a guard would.
export_list() {
    local win pid dialog i
    win=WIN_$1 pid=PID_$1
    xdotool windowfocus "${!win}"
    xdotool mousemove --window "${!win}" $((165 + CX)) $((423 + CY)) click 1
    sleep 0.2
    xdotool key ctrl+e
    dialog=$(window_of "${!pid}" '^导出当前列表' 30)
    e2e_check "$1: Ctrl+E opens the export of its list" test -n "$dialog"
    sleep 0.5
    xdotool key ctrl+a
    xdotool type --delay 20 "$2"
    xdotool key Return
    sleep 1.5
    xdotool key Return
    sleep 0.3
}

# departure NAME: 离开 of the visitor 王五 in the gate's register.
departure() {
    printf "PRAGMA key='p7Rx2mQ9tLw4';\nPRAGMA cipher_page_size=16384;\nselect 离开 from data where 姓名='王五';\n" |
        sqlcipher "$E2E_DIR/$1/_.udb" 2>/dev/null | grep -v '^ok$'
}

gate_folder front
gate_folder back
start_gate front 0
start_gate back 790
sleep 2

# An arrival typed at the front gate and added.
xdotool windowfocus "$WIN_front"
e2e_type_into "$WIN_front" 150 399 "QQ帐号"
e2e_type_into "$WIN_front" 165 423 "王五"
e2e_type_into "$WIN_front" 165 447 "440101199001011234"
e2e_type_into "$WIN_front" 165 471 "13800138000"
e2e_type_into "$WIN_front" 165 543 "送货"
xdotool mousemove --window "$WIN_front" $((671 + CX)) $((518 + CY)) click 1
box=$(e2e_wait_window Vostrel 15)
e2e_check "front: 添加 says the visitor is added" test -n "$box"
e2e_shot "$SHOT_DIR/site_two_gates_added.png"
xdotool key Return
added=$(date +%s.%N)

# The back gate has it within a few seconds.
for i in $(seq 150); do
    stored back | grep -qx 王五 && break
    sleep 0.1
done
arrived=$(date +%s.%N)
echo "front holds: $(stored front | tr '\n' ' ')"
copies=$(stored back | grep -cx 王五)
e2e_check "back: the pull wrote the visitor into its register once ($copies)" test "$copies" -eq 1
echo "front to back register: $(awk -v a="$added" -v b="$arrived" 'BEGIN { printf "%.1f s", b - a }')"
sleep 1
e2e_shot "$SHOT_DIR/site_two_gates.png"

# The back gate's list shows it: exported from its window, as a guard would.
export_list back "$E2E_DIR/back-list.xlsx"
target="$E2E_DIR/back-list.xlsx"
sheet=$(unzip -p "$target" xl/worksheets/sheet1.xml 2>/dev/null)
e2e_check "back: its list shows the front gate's visitor" grep -qF "<t>王五</t>" <<<"$sheet"

# 只看未离开 at the back gate: the site's open visits with the gate of each.
xdotool windowfocus "$WIN_back"
xdotool mousemove --window "$WIN_back" $((165 + CX)) $((423 + CY)) click 1
xdotool key F8
sleep 0.5
# The gate column is the last: the list's scroll bar pages to it.
for i in 1 2 3; do xdotool mousemove --window "$WIN_back" 638 392 click 1; sleep 0.2; done
e2e_shot "$SHOT_DIR/site_two_gates_on_site.png"

# The visitor leaves by the back gate (F9 on the on-site view's current
# row); the front gate's copy takes the departure, and its on-site view,
# exported, no longer lists the visitor.
xdotool key F9
for i in $(seq 150); do
    [ -n "$(departure front)" ] && break
    sleep 0.1
done
e2e_check "front: the departure recorded at the back gate is in its register" test -n "$(departure front)"
xdotool windowfocus "$WIN_front"
xdotool mousemove --window "$WIN_front" $((165 + CX)) $((423 + CY)) click 1
xdotool key F8
sleep 0.5
e2e_shot "$SHOT_DIR/site_two_gates_departed.png"
export_list front "$E2E_DIR/front-on-site.xlsx"
sheet=$(unzip -p "$E2E_DIR/front-on-site.xlsx" xl/worksheets/sheet1.xml 2>/dev/null)
e2e_check "front: its on-site view is exported without the visitor who left" \
    bash -c '[ -n "$1" ] && ! grep -qF "<t>王五</t>" <<<"$1"' _ "$sheet"
e2e_check "both programs are still running" kill -0 "$PID_front" "$PID_back"
[ "$E2E_FAILS" -eq 0 ] || { cat "$E2E_DIR/front/app.log" "$E2E_DIR/back/app.log"; }
e2e_finish
