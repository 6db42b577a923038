#!/usr/bin/env bash
# Installs, from Debian's packages only, everything the build, the tests, the
# benchmarks and the program need. Safe to run again: apt skips what is there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkgconf git
  qt6-base-dev qt6-base-dev-tools libqt6dbus6 qt6-multimedia-dev qt6-svg-dev pulseaudio
  desktop-file-utils libpng-dev libjpeg62-turbo-dev libtiff-dev libopenjp2-7-dev zlib1g-dev
  libqt6svg6 dbus dbus-x11 adwaita-icon-theme
  qtkeychain-qt6-dev libsecret-1-0 gnome-keyring
  libgtest-dev libgmock-dev
  python3 python3-pyftpdlib python3-openssl openssl vsftpd
  curl lftp time clang-format
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The vsftpd package may start a system-wide daemon on port 21; the tests start
# their own servers on high ports and need nothing from it.
if command -v systemctl >/dev/null 2>&1 && systemctl is-active --quiet vsftpd 2>/dev/null; then
  systemctl stop vsftpd || true
fi
