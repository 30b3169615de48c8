#!/bin/sh
# The road of a certificate request, run by itself on a virtual display as a
# person would run it: in the manager simulator, connect a Vega and ask for
# its certificate; in the daemon's dialog, type a name, a first name and an
# e-mail address, confirm, save the PDF into a folder through the folder
# chooser and leave; then stop the daemon with tvdmquit.exe. Each step waits
# for what the windows show (their window names, the dialog's traces of its
# pages, the saved file) and the road fails when one does not come.
# It leaves a screenshot of each page and the saved PDF in the output folder.
# Usage: scripts/road.sh [--build-dir DIR] [--output DIR]   (after a build)
set -eu
cd "$(dirname "$0")/.."
build=build
out=build/road
while [ $# -gt 0 ]; do
    case $1 in
    --build-dir) build=$2; shift 2 ;;
    --output) out=$2; shift 2 ;;
    *) echo "road: unknown argument $1" >&2; exit 2 ;;
    esac
done
for tool in Xvfb xdotool import; do
    command -v $tool >/dev/null || { echo "road: $tool is missing (./scripts/bootstrap.sh installs it)" >&2; exit 2; }
done
[ -x "$build/bin/tvdmon.exe" ] || { echo "road: build first (cmake --build --preset dev)" >&2; exit 2; }

rm -rf "$out"
mkdir -p "$out/saved"
out=$(cd "$out" && pwd)
# A copy of the program folder: the road leaves the build's own untouched.
programs="$out/programs"
cp -r "$build/bin" "$programs"
rm -rf "$programs/datamon" "$programs/certificat"
log="$out/daemon.log"
pids=""

stop_all() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    pkill -f "$programs/" 2>/dev/null || true
}
trap stop_all EXIT
fail() {
    echo "road: FAILED: $1 (see $log)" >&2
    import -window root "$out/failed.png" 2>/dev/null || true
    exit 1
}
# wait_for DESCRIPTION SECONDS COMMAND...: until the command succeeds.
wait_for() {
    description=$1 limit=$(($2 * 10))
    shift 2
    while ! "$@" >/dev/null 2>&1; do
        limit=$((limit - 1))
        [ $limit -gt 0 ] || fail "no $description"
        sleep 0.1
    done
}
traced() { grep -qF -- "$1" "$log"; }
# The visible windows of that exact name.
visible() { xdotool search --onlyvisible --name "^$(printf '%s' "$1" | sed 's/[][\\.*^$()+?{}|]/\\&/g')\$"; }
geometry_of() {
    id=$(visible "$1" | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$id")"
    wx=$X wy=$Y
}
click() { xdotool mousemove $((wx + $1)) $((wy + $2)) click 1; }
shot() { import -window root "$out/$1.png"; echo "  $out/$1.png"; }

# A display of our own.
display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
pids="$pids $!"
export DISPLAY=":$display"
# On that display, whatever the caller's environment says.
export QT_QPA_PLATFORM=xcb
wait_for "virtual display" 10 xdotool getdisplaygeometry

"$build/bin/tvdcertsim" >"$out/tvdcertsim.log" 2>&1 &
pids="$pids $!"
wait_for "certificate service" 10 grep -q '^pdf ' "$out/tvdcertsim.log"

QT_LOGGING_RULES='tvd.*=false;tvd.daemon.kernel=true;tvd.daemon.dialog=true' "$programs/tvdmon.exe" >"$log" 2>&1 &
daemon=$!
pids="$pids $daemon"
echo "road: screenshots"
wait_for "manager window" 20 visible "TOLVAND MANAGER 3.9 (simulateur)"
wait_for "daemon watching its event files" 20 traced "start: watching"
geometry_of "TOLVAND MANAGER 3.9 (simulateur)"
shot 01-manager

click 337 65
wait_for "device connected" 10 traced "_e6bitsCurrentPnID= 14"
click 257 107
wait_for "entry page" 20 traced "slot_switchCertificatePageTo 0 true"
wait_for "request dialog" 10 visible "Demande de certificat"
geometry_of "Demande de certificat"
shot 02-entry

click 400 260
xdotool type "Dupont"
click 400 294
xdotool type "Jean"
click 400 328
xdotool type "jean.dupont@example.fr"
shot 03-typed
click 450 377
wait_for "entries accepted" 10 traced '"jean.dupont@example.fr" are ok'
shot 04-confirm

click 310 377
wait_for "save page" 30 traced "slot_switchCertificatePageTo 3 true"
shot 05-certificate

click 290 200
wait_for "folder chooser" 10 visible "Choix du dossier pour l'enregistrement du certificat"
shot 06-chooser
xdotool type "$out/saved"
xdotool key Return
wait_for "saved certificate" 10 test -s "$out/saved/TOLVAND-Vega-Certificat-1001.pdf"
wait_for "save message" 10 visible "Enregistrement du certificat"
shot 07-saved
xdotool key Return

click 500 377
wait_for "request ended" 10 traced "receivedCertificateExitByTheCustomer tatoo() finished"
shot 08-left

quit=0
"$programs/tvdmquit.exe" >"$out/tvdmquit.log" 2>&1 || quit=$?
[ "$quit" -eq 2 ] || fail "tvdmquit.exe ended with $quit, not 2 (daemon gone, manager running)"
status=0
wait "$daemon" || status=$?
[ "$status" -eq 0 ] || fail "tvdmon.exe ended with $status"
echo "road: the saved certificate"
echo "  $out/saved/TOLVAND-Vega-Certificat-1001.pdf"
echo "road: done"
