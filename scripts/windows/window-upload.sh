#!/usr/bin/env bash
# The installed programs on a file named in Cyrillic and Chinese, with the QX-7M emulator behind Wine's COM7:
# qx7m-upload.exe's dry run and an error that quotes the name, read back from a console; the installed window's
# caption, read back from the X display; and ten presses of the window's "Save and Upload" in a row, each one
# received by the emulator as the Linux build's upload of the same file is. Usage: window-upload.sh FOLDER
# WINDOW-UPLOAD.exe (FOLDER the installed programs' folder; with WINEPREFIX and DISPLAY set)
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/emulatordevice.sh
fail() { echo "window-upload: $*" >&2; exit 1; }
folder=$1
windowUpload=$2
presses=10
work=$(mktemp -d)
emulator=""
trap 'kill $emulator 2>/dev/null || true; rm -rf "$work"' EXIT
preload=$PWD/build/scripts/windows/libwinecomport.so
programs='C:\Program Files\QX-7M Programmer\bin'
documents=$WINEPREFIX/drive_c/users/$(id -un)/Documents
# A sample whose baud rate is none of the five, so that even the dry run quotes the file's name in a warning.
name='Аудитория 3 講堂.qxc'
sed 's/^57600\r$/56000\r/' tests/config/fuzz-seeds/lecture-hall.qxc >"$work/$name"
cp "$work/$name" "$documents/$name"
file="C:\\users\\$(id -un)\\Documents\\$name"

# inConsole PROGRAM ARGUMENT...: what the program, started in Documents, writes to a Windows console, as a UTF-8
# terminal wide enough for its lines shows it (without the console's cursor and line-clearing sequences).
inConsole() {
    # shellcheck disable=SC2016 # expanded by the shell that script starts
    (cd "$documents" && LC_ALL=C.UTF-8 QX7M_COMMAND="$(printf '%q ' wine "$@")" \
        script -qec 'stty cols 200; eval "$QX7M_COMMAND"' /dev/null | sed 's/\x1b\[[0-9;?]*[A-Za-z]//g; s/\r//g') || true
}
inConsole "$programs\\qx7m-upload.exe" "$name" --dry-run >"$work/dry-run.txt"
(cd "$work" && "$OLDPWD/build/cli/qx7m-upload" "$name" --dry-run >linux.txt 2>&1)
diff "$work/linux.txt" "$work/dry-run.txt" >&2 || fail "the dry run of $name in a console differs from the Linux build's"
missing='Нет 講堂.qxc'
inConsole "$programs\\qx7m-upload.exe" "$missing" --port 7 >"$work/error.txt"
grep -qF "qx7m-upload: cannot read $missing: error 53" "$work/error.txt" || fail "the console shows: $(cat "$work/error.txt")"
echo "In a console: $(grep -F "$name" "$work/dry-run.txt")"
echo "In a console: $(cat "$work/error.txt")"

# startEmulator: a new emulator for any number of uploads, behind COM7; its JSON report lines follow in emulator.log.
startEmulator() {
    kill $emulator 2>/dev/null || true
    build/tools/qx7m-sim --json >"$work/emulator.log" &
    emulator=$!
    local port
    port=$(emulatorDevice "$work/emulator.log") || fail "the QX-7M emulator did not start"
    ln -sfn "$port" "$WINEPREFIX/dosdevices/com7"
}

# The installed program itself opens the file once its port question is answered (Return on the offered COM7).
startEmulator
# Ended below by Wine's server, which the shell would report as a kill.
(cd "$documents" && LD_PRELOAD=$preload wine "$programs\\qx7m-programmer.exe" --port 7 "$file" || true) 2>/dev/null &
question=""
for _ in $(seq 300); do
    question=$(xdotool search --onlyvisible --name '^Com port selection$' 2>/dev/null | head -n 1) && [ -n "$question" ] \
        && break
    sleep 0.1
done
[ -n "$question" ] || fail "the installed program showed no port question"
# Wine shows the window a moment after X maps it, and refuses the focus until then.
for _ in $(seq 50); do
    timeout 10 xdotool windowfocus --sync "$question" key Return 2>/dev/null && break
    sleep 0.2
done
caption=""
for _ in $(seq 300); do
    caption=$(xdotool search --name "^$name  -  QX-7M\$" getwindowname 2>/dev/null) && [ -n "$caption" ] && break
    sleep 0.1
done
[ -n "$caption" ] || fail "no window is captioned \"$name  -  QX-7M\": $(xwininfo -root -tree | grep '"' | cut -c1-100)"
echo "The installed program's caption: $caption"
wineserver -k
wineserver -w

# The window's "Save and Upload", pressed again and again in the installed program's folder with its DLLs.
startEmulator
cp "$windowUpload" "$folder/bin/"
started=$SECONDS
status=0
(cd "$documents" && LD_PRELOAD=$preload timeout 300 wine "$programs\\$(basename "$windowUpload")" \
    "$file" 7 $presses >"$work/boxes.txt" 2>"$work/wine.log") || status=$?
rm "$folder/bin/$(basename "$windowUpload")"
wineserver -w
if [ $status -ne 0 ]; then
    # Wine's debugger writes the crash's backtrace where the program's standard output goes.
    grep -m1 'Unhandled' "$work/wine.log" >&2 || tail -n 20 "$work/wine.log" >&2
    grep -A30 -m1 '^Backtrace:' "$work/boxes.txt" >&2 || true
    fail "the window's uploads ended with exit code $status after $(grep -c 'Completed' "$work/boxes.txt") of $presses"
fi
expected=$(for _ in $(seq $presses); do echo "Upload Status: Upload Completed Successfully"; done)
[ "$(tr -d '\r' <"$work/boxes.txt")" = "$expected" ] || fail "the window's boxes: $(cat "$work/boxes.txt")"
kill $emulator
wait $emulator 2>/dev/null || true
emulator=""
# What the Linux build sends for the same file, as the emulator reports it.
build/tools/qx7m-sim --json --once >"$work/linux-emulator.log" &
emulator=$!
port=$(emulatorDevice "$work/linux-emulator.log") || fail "the QX-7M emulator did not start"
build/cli/qx7m-upload "$work/$name" --port "$port" >/dev/null 2>&1 || fail "the Linux build did not program the emulator"
wait $emulator
emulator=""
linux=$(sed -n 2p "$work/linux-emulator.log")
received=$(sed -n "2,$((presses + 1))p" "$work/emulator.log")
[ "$(grep -cxF "$linux" <<<"$received")" -eq $presses ] && [ "$(wc -l <"$work/emulator.log")" -eq $((presses + 1)) ] \
    || fail "the emulator received from the window: $(cat "$work/emulator.log"); from the Linux build: $linux"
echo "The window's Save and Upload, $presses times in a row in $((SECONDS - started)) s: each upload received as" \
    "the Linux build's"
