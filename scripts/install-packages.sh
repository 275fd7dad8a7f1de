#!/usr/bin/env bash
# Installs the Debian packages the launcher, its tests and its demo need, when any is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtk-3-dev libwebkit2gtk-4.1-dev libcurl4-openssl-dev libssl-dev openssl
  libgtest-dev libcpp-httplib-dev
  curl xvfb xauth xdotool x11-utils imagemagick fonts-noto-cjk adwaita-icon-theme
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
