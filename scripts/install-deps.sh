#!/bin/sh
# Installs what Corvane needs to build, run and test on Debian 12.
# Runs as root, or through sudo when it is available.
set -eu

PACKAGES="
build-essential cmake ninja-build ccache pkg-config clang
libgtest-dev libgmock-dev
libwxgtk3.2-dev libgtk-3-dev
libavformat-dev libavcodec-dev libavutil-dev libswresample-dev
libfluidsynth-dev timgm6mb-soundfont
libsdl2-dev
libsoundtouch-dev libsonic-dev libfftw3-dev librubberband-dev
libmysofa-dev libsndfile1-dev
libmpv-dev libmpv2
libsqlite3-dev libcurl4-openssl-dev libssl-dev libxml2-dev nlohmann-json3-dev
libspeechd-dev libbrlapi-dev
xvfb xauth xdotool dbus-x11 at-spi2-core python3 python3-pyatspi gir1.2-atspi-2.0
ffmpeg sox espeak-ng openssl mpv
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "Missing packages:$missing" >&2
    echo "Run this script as root or install sudo." >&2
    exit 1
fi

echo "Installing:$missing"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -q
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
