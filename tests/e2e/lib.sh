# Shared steps of the end-to-end tests: a real X server (Xvfb) with a
# notification-area host (trayer), the real program in a folder of its own,
# driven with xdotool. Source it; call e2e_setup first.
# Needs: BIN_DIR (folder with vostrel and vostrel-initdb).

set -u
E2E_PIDS=()
E2E_FAILS=0

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    sleep 0.2
    for pid in "${E2E_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null; done
    [ -n "${E2E_DIR:-}" ] && rm -rf "$E2E_DIR"
}

# e2e_private_home: a fresh folder for the run with a private HOME and
# runtime folder, removed at exit.
e2e_private_home() {
    E2E_DIR=$(mktemp -d /tmp/vostrel-e2e-XXXXXX)
    trap e2e_cleanup EXIT
    export HOME="$E2E_DIR/home" XDG_RUNTIME_DIR="$E2E_DIR/run"
    mkdir -p "$HOME/Desktop" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}

# e2e_start_xvfb SIZE: an X server of that screen size on a free display.
e2e_start_xvfb() {
    local n i
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "$1" -nolisten tcp >/dev/null 2>&1 &
        E2E_PIDS+=($!)
        export DISPLAY=":$n"
        for i in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
        xdpyinfo >/dev/null 2>&1 && break
    done
}

# e2e_copy_program: the program in a folder of its own, E2E_APP.
e2e_copy_program() {
    E2E_APP="$E2E_DIR/app"
    mkdir -p "$E2E_APP"
    cp "$BIN_DIR/vostrel" "$E2E_APP/vostrel"
}

# e2e_setup: display, tray host, a private HOME and runtime folder.
e2e_setup() {
    e2e_private_home
    e2e_start_xvfb 1280x1024x24
    export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
    unset WAYLAND_DISPLAY
    e2e_start_tray
    e2e_copy_program
}

e2e_start_tray() {
    trayer --edge top --align right --widthtype pixel --width 200 --height 32 --transparent false >/dev/null 2>&1 &
    E2E_TRAY_PID=$!
    E2E_PIDS+=($E2E_TRAY_PID)
    sleep 0.5
}

# e2e_make_register PASSWORD: a fresh "_.udb" beside the program.
e2e_make_register() {
    "$BIN_DIR/vostrel-initdb" "$E2E_APP" "$1" >/dev/null
}

# e2e_sql STATEMENTS: runs statements on the register beside the program
# with the sqlcipher shell, printing what they select.
e2e_sql() {
    printf "PRAGMA key='p7Rx2mQ9tLw4';\nPRAGMA cipher_page_size=16384;\n%s\n" "$1" | sqlcipher "$E2E_APP/_.udb" 2>/dev/null
}

# e2e_type_password LOGIN_WINDOW PASSWORD: clicks into the password box of
# the login window, types the password and presses Enter (needs CX, CY).
e2e_type_password() {
    xdotool mousemove --window "$1" $((150 + CX)) $((60 + CY)) click 1
    xdotool type --delay 40 "$2"
    xdotool key Return
}

# e2e_type_into WINDOW X Y TEXT: clicks the one-line edit at X, Y of the
# window's client area (needs CX, CY) and types the text, then reads it back
# through the clipboard and types it again if keys were lost: xdotool types
# characters outside the keyboard map through remapped keys, which a busy
# X server can drop.
e2e_type_into() {
    local attempt
    for attempt in 1 2 3; do
        xdotool mousemove --window "$1" $(($2 + CX)) $(($3 + CY)) click 1
        sleep 0.1
        xdotool key ctrl+a BackSpace
        xdotool type --delay 30 "$4"
        xdotool key ctrl+a ctrl+c
        sleep 0.2
        [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$4" ] && return 0
        echo "retyping \"$4\" (attempt $attempt read back \"$(xclip -o -selection clipboard 2>/dev/null)\")"
    done
    return 1
}

# e2e_start_and_log_in PASSWORD: starts the program, logs in through the
# login window and sets `main` to the main window's id (checked both steps).
e2e_start_and_log_in() {
    e2e_start
    local login
    login=$(e2e_wait_window 管理登录 10)
    e2e_check "the login window appears" test -n "$login"
    e2e_client_offset
    sleep 0.5
    e2e_type_password "$login" "$1"
    main=$(e2e_wait_window 'Vostrel1.01.2010.0609' 10)
    e2e_check "the right password shows the main window" test -n "$main"
    sleep 0.8
}

# e2e_start: starts the program; its pid is E2E_APP_PID.
e2e_start() {
    "$E2E_APP/vostrel" >"$E2E_DIR/app.log" 2>&1 &
    E2E_APP_PID=$!
    E2E_PIDS+=($E2E_APP_PID)
}

# e2e_wait_window NAME [SECONDS]: prints the id of a visible window of that name.
e2e_wait_window() {
    local name=$1 seconds=${2:-10} i id
    for i in $(seq $((seconds * 10))); do
        id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# e2e_window_visible NAME: true when a window of that name is on screen now.
e2e_window_visible() {
    [ -n "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)" ]
}

# e2e_wait_exit PID SECONDS: true when the process ended within the time.
e2e_wait_exit() {
    local pid=$1 seconds=$2 i
    for i in $(seq $((seconds * 10))); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}

# e2e_client_offset: sets CX and CY, where a skinned window's client area
# starts inside the window (the width of the left edge, the height of the
# caption), read from the shipped skin's edge bitmaps made by the build.
e2e_client_offset() {
    local art="$BIN_DIR/../src/skin/shipped-skin"
    CX=0 CY=0
    [ -f "$art/left.bmp" ] && CX=$(( $(identify -format %w "$art/left.bmp") / 2 ))
    [ -f "$art/top.bmp" ] && CY=$(( $(identify -format %h "$art/top.bmp") / 2 ))
    return 0
}

# e2e_pixel WINDOW X Y: the colour of one pixel of a window as "r,g,b".
e2e_pixel() {
    import -window "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- 2>/dev/null | awk 'NR == 2 { print $2 }' | tr -d '()' | cut -d, -f1-3
}

# The program's icon window, embedded in the tray host's panel: a small
# viewable window of the program named Vostrel that is not a top-level one.
tray_icon() {
    local w info
    for w in $(xdotool search --class vostrel 2>/dev/null); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = Vostrel ] || continue
        info=$(xwininfo -id "$w" 2>/dev/null)
        echo "$info" | grep -q IsViewable || continue
        [ "$(echo "$info" | awk '/Width:/ {print $2}')" -le 64 ] 2>/dev/null || continue
        [ "$(echo "$info" | awk '/Height:/ {print $2}')" -le 64 ] 2>/dev/null || continue
        xwininfo -tree -id "$w" 2>/dev/null | grep -q "Parent window id: .*(the root window)" && continue
        echo "$w"; return 0
    done
    return 1
}
wait_tray_icon() {
    local i
    for i in $(seq $((${1:-10} * 10))); do tray_icon && return 0; sleep 0.1; done
    return 1
}
# Moves the pointer to the middle of the icon.
point_at_icon() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
}
# The program's open popups (the menu, the tip): unnamed-class top-level
# windows with the application's name, not the embedded icon.
popup_windows() {
    local w
    for w in $(xdotool search --onlyvisible --class vostrel 2>/dev/null); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = Vostrel ] || continue
        xwininfo -tree -id "$w" 2>/dev/null | grep -q "Parent window id: .*(the root window)" && echo "$w"
    done
}

# e2e_shot FILE: a screenshot of the whole screen.
e2e_shot() {
    import -window root "$1" 2>/dev/null
}

# e2e_check DESCRIPTION COMMAND...: runs a check and reports it.
e2e_check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        E2E_FAILS=$((E2E_FAILS + 1))
    fi
}

e2e_finish() {
    [ "$E2E_FAILS" -eq 0 ] || { echo "$E2E_FAILS check(s) failed"; [ -f "$E2E_DIR/app.log" ] && cat "$E2E_DIR/app.log"; exit 1; }
    exit 0
}
