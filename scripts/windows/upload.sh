#!/usr/bin/env bash
# qx7m-upload.exe under Wine against the Linux build and the QX-7M emulator: the same bytes for the
# same file (its --dry-run wire image, lines ended with CR LF on Windows), its version on standard
# output, and, through Wine's COM5 mapped to the emulator's pseudo-terminal, a real upload (exit
# code 0, the emulator receiving what it receives from the Linux build) and a silent QX-7M given up
# on after 5 to 6 seconds with exit code 1. Usage: upload.sh QX7M-UPLOAD.exe (with WINEPREFIX set)
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/emulatordevice.sh
fail() { echo "upload: $*" >&2; exit 1; }
exe=$1
file=tests/config/fuzz-seeds/lecture-hall.qxc
work=$(mktemp -d)
emulator=""
trap 'kill $emulator 2>/dev/null || true; rm -rf "$work"' EXIT
# Wine's server takes the pseudo-terminal as its controlling terminal when it opens COM5, and lists
# its objects on the hang-up when the emulator ends: into /dev/null, from a server started here.
wineserver -k 2>/dev/null || true
wineserver >/dev/null 2>&1

build/cli/qx7m-upload "$file" --dry-run 2>/dev/null | sed 's/$/\r/' >"$work/linux.txt"
wine "$exe" "$(winepath -w "$file")" --dry-run 2>/dev/null >"$work/windows.txt"
cmp "$work/linux.txt" "$work/windows.txt" || fail "the Windows build would send other bytes than the Linux one"
echo "Wire image of $file: $(wc -l <"$work/windows.txt") lines, the same as the Linux build's"
[ "$(wine "$exe" --version)" = $'qx7m-upload 1.2\r' ] || fail "--version does not print the version"

# startEmulator OPTION...: a new emulator, its device path in $port; its report lines follow in $work/emulator.log.
startEmulator() {
    kill $emulator 2>/dev/null || true
    build/tools/qx7m-sim --json "$@" >"$work/emulator.log" &
    emulator=$!
    port=$(emulatorDevice "$work/emulator.log") || fail "the QX-7M emulator did not start"
}
# The emulator's report of the upload it received.
emulatorReport() {
    for _ in $(seq 50); do
        sed -n 2p "$work/emulator.log" | grep . && return
        sleep 0.1
    done
    fail "the emulator reported no upload"
}
# Wine 8.0 never tells Qt's serial port that the QX-7M's answer is waiting: Wine's Unix side gets the
# library that does (winecomport.cpp beside this script).
uploadThroughCom5() {
    ln -sfn "$port" "$WINEPREFIX/dosdevices/com5"
    status=0
    LD_PRELOAD=$PWD/build/scripts/windows/libwinecomport.so wine "$exe" "$(winepath -w "$file")" --port 5 --json \
        >"$work/receipt.json" 2>/dev/null || status=$?
    seconds=$(grep -o '"seconds":[0-9.]*' "$work/receipt.json" | cut -d: -f2)
}

startEmulator --once
build/cli/qx7m-upload "$file" --port "$port" >/dev/null || fail "the Linux build did not program the emulator"
linux=$(emulatorReport)
startEmulator --once
uploadThroughCom5
[ $status -eq 0 ] || fail "exit code $status instead of 0, receipt: $(cat "$work/receipt.json")"
grep -q '"outcome":"programmed","port":"COM5"' "$work/receipt.json" || fail "receipt: $(cat "$work/receipt.json")"
windows=$(emulatorReport)
[ "$windows" = "$linux" ] || fail "the emulator received from the Windows build: $windows; from the Linux build: $linux"
echo "Through COM5 (the emulator): programmed in $seconds s, the same bytes and line settings as from the Linux build"

startEmulator --silent
uploadThroughCom5
[ $status -eq 1 ] || fail "against a silent QX-7M, exit code $status instead of 1"
grep -q '"outcome":"no-answer","port":"COM5"' "$work/receipt.json" || fail "receipt: $(cat "$work/receipt.json")"
awk -v s="$seconds" 'BEGIN { exit !(s >= 5.0 && s <= 6.0) }' || fail "a silent QX-7M given up on after $seconds s"
echo "Through COM5 (the emulator, silent): exit code 1 after $seconds s"
