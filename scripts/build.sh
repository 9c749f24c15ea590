#!/bin/sh
# Installs what is missing and builds Corvane into build/.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
if [ ! -f build/build.ninja ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
ninja -C build
