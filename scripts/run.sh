#!/bin/sh
# The main job: installs what is missing, builds, starts the local
# certificate service and then the daemon from the program folder, which
# starts the manager simulator. Ask for a certificate in the simulator's
# window; closing that window ends the daemon within 30 seconds, and the
# certificate service with it. Without a display, the road of a request runs
# by itself on a virtual display (scripts/road.sh) and leaves its screenshots
# and the saved PDF in build/road/.
set -eu
cd "$(dirname "$0")/.."
./scripts/bootstrap.sh
cmake --preset dev >/dev/null
cmake --build --preset dev --parallel 2
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run: no display, so the road of a certificate request runs by itself under Xvfb"
    exec ./scripts/road.sh
fi
build/bin/tvdcertsim &
service=$!
trap 'kill $service 2>/dev/null || true' EXIT INT TERM
echo "run: in the window of the manager simulator, connect a device and ask for its certificate"
build/bin/tvdmon.exe
