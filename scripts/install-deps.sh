#!/usr/bin/env bash
# Installs the Debian packages a target needs, only those missing:
#   install-deps.sh run       build and start the program
#   install-deps.sh package   the above, and build the .deb
#   install-deps.sh test      the above, and run every test
#   install-deps.sh web       build the browser edition
set -euo pipefail

run=(
    cmake ninja-build g++ pkg-config qt6-base-dev qt6-multimedia-dev libgl-dev libxcb1-dev
    # the "times" face the program writes in
    fonts-liberation
)
package=(dpkg-dev file)
web=(
    cmake ninja-build emscripten
    # emscripten's JavaScript optimiser parses with it
    node-acorn
    # cuts the page's font down to the program's characters, and writes it as WOFF2
    python3-fonttools python3-brotli
)
test=(
    libgtest-dev
    # real-window tests: X server, input, screen reading, a sound sink, the desktop's UI
    # font (the boxes' text is read back in it)
    xvfb xdotool python3-xlib imagemagick tesseract-ocr tesseract-ocr-deu
    pulseaudio pulseaudio-utils fonts-dejavu-core
    # the memory check of a short lesson
    valgrind
    # the install test's validators
    desktop-file-utils appstream
    # the browser edition's test: three real browser engines driven from Node (WebKit's
    # through its WebDriver, in Xvfb, its mouse through xdotool)
    chromium firefox-esr webkit2gtk-driver
)
# Node.js and npm from Debian, unless the machine has them already from Node's own packages,
# beside which Debian's npm cannot be installed.
command -v npm >/dev/null || test+=(nodejs npm)

case "${1:-}" in
    run) packages=("${run[@]}") ;;
    package) packages=("${run[@]}" "${package[@]}") ;;
    test) packages=("${run[@]}" "${package[@]}" "${web[@]}" "${test[@]}") ;;
    web) packages=("${web[@]}") ;;
    *) echo "usage: $0 run|package|test|web" >&2; exit 2 ;;
esac

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
