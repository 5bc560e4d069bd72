#!/usr/bin/env bash
# Installs the Debian packages VELTRAN needs to build, test and run.
# Idempotent: does nothing when everything is already there.
set -euo pipefail
pkgs=(build-essential cmake ninja-build clang clang-14 libclang-rt-14-dev
      qt6-base-dev libqt6printsupport6 qt6-serialport-dev libqt6svg6-dev
      libgtest-dev libgmock-dev xvfb xdotool x11-utils openbox libsndfile1-dev
      libhamlib-dev libhamlib-utils libpulse-dev pulseaudio pulseaudio-utils zlib1g-dev
      minimodem)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
