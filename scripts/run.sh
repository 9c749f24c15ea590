#!/bin/sh
# Installs what is missing, builds and starts Corvane with the given files.
# Without a display the player runs under Xvfb and speaks to standard output.
set -eu
cd "$(dirname "$0")/.."
./scripts/build.sh >&2
BIN="$PWD/build/corvane"

# Nothing to play given: play the demo tune so there is something to hear.
if [ "$#" -eq 0 ]; then
    set -- "$PWD/docs/demo.mid"
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$BIN" "$@"
fi

echo "No display found: running under Xvfb; speech goes to standard output." >&2
export CORVANE_SPEECH_LOG="${CORVANE_SPEECH_LOG:--}"
exec dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" "$BIN" "$@"
