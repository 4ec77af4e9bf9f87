#!/usr/bin/env bash
# Installs what Vostrel needs to build, run and test on Debian 12, when missing.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev
  libsqlcipher-dev sqlcipher
  libxlsxwriter-dev unzip
  libgtest-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  fonts-arphic-uming fonts-noto-cjk
  xvfb trayer xdotool xclip imagemagick x11-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
