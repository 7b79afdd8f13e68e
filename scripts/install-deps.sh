#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need, only those missing.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config libgtest-dev
    qt6-base-dev qt6-multimedia-dev libgl-dev libxcb1-dev
    # run: the "times" face, sound output
    fonts-liberation libqt6multimedia6 pulseaudio-utils
    # real-window tests: X server, input, OCR, screenshots, a sound sink
    xvfb xdotool x11-utils python3-xlib imagemagick
    tesseract-ocr tesseract-ocr-deu pulseaudio
    # the memory check of a short lesson
    valgrind
    # the .deb (`make package`: dpkg-shlibdeps and file) and the install test's validators
    dpkg-dev file desktop-file-utils appstream
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
