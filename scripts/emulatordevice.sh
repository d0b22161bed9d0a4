# Sourced by the scripts that start the QX-7M emulator.
# emulatorDevice LOG: prints the device path that the emulator writes first into LOG, once it is
# there; fails when the emulator has written none after 5 s.
emulatorDevice() {
    local device=""
    for _ in $(seq 50); do
        device=$(head -n 1 "$1")
        [ -n "$device" ] && break
        sleep 0.1
    done
    [ -n "$device" ] && echo "$device"
}
