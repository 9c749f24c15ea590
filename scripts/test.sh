#!/bin/sh
# Installs what is missing, builds Corvane and runs the whole test suite:
# unit and end-to-end tests through ctest, then the fuzz targets briefly.
set -eu
cd "$(dirname "$0")/.."
./scripts/build.sh
status=0
# A few unit tests build real wx windows: give them a display when there is none.
# (The end-to-end tests start their own display and buses either way.)
if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1024x768x24" \
        ctest --test-dir build -L 'unit|e2e' --output-on-failure -j2 || status=1
else
    ctest --test-dir build -L 'unit|e2e' --output-on-failure -j2 || status=1
fi
./scripts/fuzz.sh "${CORVANE_FUZZ_SECONDS:-10}" || status=1
exit $status
