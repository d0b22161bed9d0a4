#!/usr/bin/env bash
# Runs one Qt Test suite under Wine for CTest (CMAKE_CROSSCOMPILING_EMULATOR) and shows its log:
# under Wine a suite's own standard output stays empty, so the log goes through a file. Wine hides
# the QT_ variables from Windows programs; it passes them on when named WINEQT_.
set -uo pipefail
export WINEQT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} WINEQT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\dejavu'
log=$(mktemp --suffix=.txt)
wine "$@" -o "$(winepath -w "$log"),txt"
status=$?
cat "$log"
rm -f "$log"
exit $status
