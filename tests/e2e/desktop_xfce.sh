#!/usr/bin/env bash
# The program on a desktop under zh_CN.UTF-8: xfwm4 with xfce4-panel, whose notification area draws the menu the icon exports (StatusNotifierItem).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_desktop.sh"
e2e_desktop_run xfce
