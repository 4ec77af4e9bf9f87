#!/usr/bin/env bash
# Sets up and starts Vostrel. Without a display it runs the program on a
# virtual one with a tray host, saves a screenshot of its first window and
# ends it.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
bash "$top/tools/scripts/install-deps.sh"
bash "$top/tools/scripts/build.sh" "$top/build"
bin="$top/build/bin"
if [ ! -e "$bin/_.udb" ]; then
  demo_password=demo2026
  "$bin/vostrel-initdb" "$bin" "$demo_password"
  echo "made a demo register; the initial administrator password is: $demo_password"
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$bin/vostrel"
fi

pids=()
# Qt wants a private runtime folder and warns without one.
runtime=
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  runtime=$(mktemp -d /tmp/vostrel-run-XXXXXX)
  export XDG_RUNTIME_DIR=$runtime
fi
# Ended in the reverse order of their start, each waited for: the program
# and the tray host go before the X server they draw on.
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  [ -z "$runtime" ] || rm -rf "$runtime"
}
trap cleanup EXIT
for n in $(seq 80 120); do [ -e "/tmp/.X11-unix/X$n" ] || break; done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$n" QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
trayer --edge top --align right --widthtype pixel --width 200 --height 32 >/dev/null 2>&1 &
pids+=($!)
"$bin/vostrel" &
pids+=($!)
# The first window is the login window, about a second after start.
for _ in $(seq 100); do
  xdotool search --onlyvisible --name '^管理登录$' >/dev/null 2>&1 && break
  xdotool search --onlyvisible --name '^Vostrel$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 0.5
mkdir -p "$top/build/screenshots"
shot="$top/build/screenshots/first-window.png"
import -window root "$shot"
echo "screenshot: $shot"
