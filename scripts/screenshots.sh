#!/usr/bin/env bash
# Takes the README's screenshots anew: the port question, the start dialog, the main window and
# the string builder, as the program shows them on an X display of its own (Xvfb), against the
# QX-7M emulator. Writes docs/screenshots/*.png.
set -euo pipefail
cd "$(dirname "$0")/.."

shots=docs/screenshots
if [ -z "${QX7M_SCREENSHOT_DISPLAY:-}" ]; then
    bash scripts/install-deps.sh xvfb xauth xdotool imagemagick fonts-dejavu-core
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build build --target qx7m-programmer qx7m-sim qx7m-upload
    mkdir -p $shots
    # The program's own window system, not the offscreen one of the tests.
    exec env -u QT_QPA_PLATFORM QX7M_SCREENSHOT_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x800x24" bash "$0"
fi

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work
emulator=""
program=""
trap 'kill $emulator ${projector:-} $program 2>/dev/null || true; rm -rf "$work"' EXIT

# A lecture hall's configuration: each slot switches the projector's input or its power.
field() { printf ' %d\r\n%s\r\n' "${#1}" "$1"; }
slot() { field "$1"$'\r'; field "$1 'CR' "; }
{
    # The file's order of the slots: composite, S-Video, VGA, no input, discrete on and off, video first seen.
    slot "INPUT VIDEO"; slot "INPUT SVIDEO"; slot "INPUT RGB1"; slot "PWR OFF"; slot "PWR ON"; slot "PWR OFF"
    slot "PWR ON"
    printf ' 1\r\n 1\r\n'
    field 9600; field 0; field 15; field 0
} >"$work/lecture-hall.qxc"
LC_ALL=C build/cli/qx7m-upload --dry-run "$work/lecture-hall.qxc" >/dev/null

build/tools/qx7m-sim >"$work/emulator.log" &
emulator=$!
source scripts/emulatordevice.sh
port=$(emulatorDevice "$work/emulator.log") || { echo "screenshots.sh: the QX-7M emulator did not start" >&2; exit 1; }

# The window with exactly this title, once it is on screen and painted.
window() {
    local id
    id=$(timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1) || true
    [ -n "$id" ] || { echo "screenshots.sh: no window \"$1\"" >&2; exit 1; }
    sleep 1
    echo "$id"
}
shoot() { import -window "$1" "$shots/$2.png" && echo "$shots/$2.png"; }
# Without a window manager, keys go to the window under the pointer once it has been clicked.
focus() { xdotool mousemove --window "$1" 4 4 click 1 && sleep 0.3; }

build/tools/qx7m-sim --projector >"$work/projector.log" &
projector=$!
projectorPort=$(emulatorDevice "$work/projector.log") || { echo "screenshots.sh: the projector emulator did not start" >&2; exit 1; }

start() {
    build/app/qx7m-programmer --port "$port" --projector-port "$projectorPort" "$@" &
    program=$!
    id=$(window "Com port selection")
}
stop() { kill $program && wait $program 2>/dev/null || true; }

start
shoot "$id" port-question
focus "$id"
xdotool key Return
shoot "$(window "Configuration File Selection")" start-dialog
stop

start "$work/lecture-hall.qxc"
focus "$id"
xdotool key Return
id=$(window "lecture-hall.qxc  -  QX-7M")
shoot "$id" main-window
# Tab from the slot list to "Build String", which opens the builder for the VGA slot.
focus "$id"
xdotool key Tab Tab Tab space
id=$(window "Build String")
focus "$id"
xdotool type --delay 50 "INPUT RGB2"
# Tab on to the control characters, pick CR and insert it.
xdotool key Tab Tab Tab Tab Tab Tab Tab
xdotool type --delay 50 "CR"
xdotool key Tab space
sleep 0.5
shoot "$id" build-string
stop

# The VGA slot's string tried on the projector emulator, which answers "OK" and a CR.
start "$work/lecture-hall.qxc"
focus "$id"
xdotool key Return
id=$(window "lecture-hall.qxc  -  QX-7M")
focus "$id"
xdotool key ctrl+t
id=$(window "Projector Port")
focus "$id"
xdotool key Return
id=$(window "Try on Projector")
sleep 2.5
shoot "$id" trial-window
stop
