#!/usr/bin/env bash
# The program on a desktop under zh_CN.UTF-8: openbox with tint2, whose notification area embeds the icon (XEmbed).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lib_desktop.sh"
e2e_desktop_run openbox
