#!/usr/bin/env bash
# Installs what Vostrel needs to build, run and test on Debian 12, when missing.
set -euo pipefail
# The register engine is the system SQLCipher when it is at least 4.6, else the
# pinned amalgamation that the build fetches with npm and compiles against
# libssl-dev; the sqlcipher shell (3.4.1 on Debian 12) reads registers in tests.
packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev
  libssl-dev sqlcipher
  libxlsxwriter-dev libminizip-dev unzip
  libqrencode-dev # the visitor pass's QR code
  poppler-utils zbar-tools # the paper tests read the PDFs and decode the code
  libreoffice-calc-nogui # the export tests open the files in it
  libgtest-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev clang-format-14 clang-tidy-14
  fonts-arphic-uming fonts-noto-cjk
  xvfb xauth trayer xdotool xclip imagemagick x11-utils
  xfwm4 xfce4-panel openbox tint2 dbus-x11 libglib2.0-bin locales qt6-translations-l10n
  libpq-dev openssl postgresql-15 # the site: vostrel-site, and the server its tests start
  qt6-charts-dev libqt6opengl6-dev # the charts of the visit statistics (they need the OpenGL module)
)
if ! pkg-config --atleast-version=4.6 sqlcipher 2>/dev/null && ! command -v npm >/dev/null; then
  packages+=(npm)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The desktop tests run the program under a Chinese locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "generating zh_CN.UTF-8"
  $sudo localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi
