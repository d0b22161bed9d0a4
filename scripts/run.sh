#!/usr/bin/env bash
# Builds the QX-7M Programmer and starts it.
#
#   run.sh                 against the QX-7M emulator: the port question starts with the emulator's
#                          device, and what the emulator receives is printed here; a projector
#                          emulator beside it takes the strings tried on the projector
#   run.sh PORT [FILE]     against real hardware: PORT is a device path (/dev/ttyUSB0) or a port
#                          number N; FILE, a .qxc file, is opened at start
#   run.sh FILE            the emulator, and FILE opened at start
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
# A build folder of its own, with only the program and the emulator: the test command's folder and
# its options stay as they are, and the first window does not wait for the tests to build.
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=OFF >/dev/null
cmake --build build-run --target qx7m-programmer qx7m-sim

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    # The program says the same; said here before an emulator is started for nothing.
    exec build-run/app/qx7m-programmer
fi

case "${1:-}" in
    /dev/* | [0-9]* | COM[0-9]*)
        port=$1
        shift
        exec build-run/app/qx7m-programmer --port "$port" "$@"
        ;;
esac

log=$(mktemp)
projectorLog=$(mktemp)
build-run/tools/qx7m-sim >"$log" &
emulator=$!
# A projector beside the box, so that a string can be tried on it at once.
build-run/tools/qx7m-sim --projector >"$projectorLog" &
projector=$!
trap 'kill "$emulator" "$projector" ${follower:-} 2>/dev/null; rm -f "$log" "$projectorLog"' EXIT
trap 'exit 130' INT TERM HUP
source scripts/emulatordevice.sh
port=$(emulatorDevice "$log") || { echo "run.sh: the QX-7M emulator did not start" >&2; exit 1; }
projectorPort=$(emulatorDevice "$projectorLog") || { echo "run.sh: the projector emulator did not start" >&2; exit 1; }
echo "QX-7M emulator on $port: answer the port question with it (already filled in); uploads show here."
echo "Projector emulator on $projectorPort: try a string on it (already filled in); what it receives shows here."
tail -q -n +2 -f "$log" "$projectorLog" &
follower=$!
build-run/app/qx7m-programmer --port "$port" --projector-port "$projectorPort" "$@"
