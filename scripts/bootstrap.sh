#!/bin/sh
# Installs every Debian 12 package needed to build, run and test the project.
# Safe to re-run: it only calls apt when a package is missing.
set -eu

PACKAGES="
build-essential
cmake
ninja-build
pkg-config
qt6-base-dev
qt6-base-dev-tools
qt6-qpa-plugins
qt6-httpserver-dev
qt6-websockets-dev
libgl-dev
g++-mingw-w64-x86-64
wine
wine64
procps
fonts-dejavu-core
fonts-liberation2
xvfb
xdotool
imagemagick
clang-14
libclang-rt-14-dev
llvm-14
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    echo "bootstrap: all packages present"
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
else
    SUDO="sudo"
fi

echo "bootstrap: installing$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
