#!/usr/bin/env bash
# Installs the setup program silently (/S) in a fresh Wine prefix, checks the installed programs,
# the Start-menu entry and the .qxc file type, starts the installed program on an X display of its
# own until its port question shows its text (and takes its picture), runs window-upload.sh on the
# installed programs, then uninstalls and checks that nothing is left. Usage: install.sh SETUP.exe
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/windows/wineprefix.sh
fail() { echo "install: $*" >&2; exit 1; }
setup=$1
build=$(dirname "$setup")
if [ -z "${QX7M_INSTALL_DISPLAY:-}" ]; then
    exec env QX7M_INSTALL_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

# Nothing on the program's paths but what the setup program installed.
unset QT_QPA_PLATFORM QT_PLUGIN_PATH WINEPATH
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=" WINEDEBUG=-all
newWinePrefix "$PWD/$build/wine-setup"
# A crash tells its backtrace on standard error instead of waiting in a box for someone to close it.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
# A caret that does not blink, so that two pictures of one field differ only in the text it shows.
wine reg add 'HKCU\Control Panel\Desktop' /v CursorBlinkRate /t REG_SZ /d -1 /f >/dev/null
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

wine "$setup" /S
wineserver -w
folder="$WINEPREFIX/drive_c/Program Files/QX-7M Programmer"
for file in bin/qx7m-programmer.exe bin/qx7m-upload.exe bin/Qt6Core.dll bin/Qt6SerialPort.dll bin/libstdc++-6.dll \
    bin/libwinpthread-1.dll bin/platforms/qwindows.dll bin/styles/qwindowsvistastyle.dll Uninstall.exe; do
    [ -f "$folder/$file" ] || fail "the setup program did not install $file"
done
echo "Installed: $(du -sk "$folder" | cut -f1) kB in C:\\Program Files\\QX-7M Programmer"
link="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/QX-7M Programmer/QX-7M Programmer.lnk"
[ -f "$link" ] || fail "no Start-menu entry"
strings "$link" | grep -qxF 'C:\Program Files\QX-7M Programmer\bin\qx7m-programmer.exe' \
    || fail "the Start-menu entry does not start the installed program"
strings -el "$link" | grep -qxF '%USERPROFILE%\Documents' || fail "the Start-menu entry does not start in Documents"
wine reg query 'HKCR\.qxc' /ve | grep -q 'QX7M.Configuration' || fail ".qxc is not registered"
wine reg query 'HKCR\QX7M.Configuration\shell\open\command' /ve \
    | grep -qF '"C:\Program Files\QX-7M Programmer\bin\qx7m-programmer.exe" "%1"' || fail ".qxc does not open in the program"

# portQuestion PICTURE [ARGUMENT...]: the installed program, with the windows platform plug-in, until its port
# question is on screen; its picture in PICTURE, then the program is ended.
portQuestion() {
    local picture=$1 window=""
    shift
    (cd "$WINEPREFIX/drive_c/users/$(id -un)/Documents" \
        && wine "C:\\Program Files\\QX-7M Programmer\\bin\\qx7m-programmer.exe" "$@") &
    for _ in $(seq 600); do
        window=$(xwininfo -root -tree | awk '/"Com port selection"/ {print $1; exit}')
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "the installed program showed no port question"
    echo "Port question on screen $(( ($(date +%s%N) - started) / 1000000 )) ms after the start"
    sleep 2
    import -window "$window" "$picture"
    wineserver -k
    wineserver -w
}
started=$(date +%s%N)
portQuestion "$build/windows-port-question.png"
# Its field shows the answer: a longer one changes the field's pixels (on the left, away from the buttons, whose
# corners are drawn a little differently each time).
started=$(date +%s%N)
portQuestion "$work/longer.png" --port 111111
compare "$build/windows-port-question.png" "$work/longer.png" -compose src -highlight-color white \
    -lowlight-color black "$work/changed.png" || [ $? -eq 1 ]
changed=$(convert "$work/changed.png" -crop 50%x100%+0+0 -format '%[fx:round(mean*w*h)]' info:)
[ "$changed" -ge 100 ] || fail "the port question's field does not show its answer (\"111111\" changes $changed pixels)"
echo "The port question's field shows its answer: \"111111\" instead of \"1\" changes $changed pixels"

bash scripts/windows/window-upload.sh "$folder" "$build/qx7m-window-upload.exe"

# Another program that took ".qxc" over keeps it.
wine reg add 'HKLM\Software\Classes\.qxc' /ve /d Other.Configuration /f >/dev/null
wine "$folder/Uninstall.exe" /S
wineserver -w
# The uninstaller runs a copy of itself from the temporary folder and returns at once.
for _ in $(seq 100); do
    [ -e "$folder/bin" ] || break
    sleep 0.1
done
[ ! -e "$folder/bin" ] || fail "the uninstaller left the programs"
[ ! -e "$link" ] || fail "the uninstaller left the Start-menu entry"
! wine reg query 'HKCR\QX7M.Configuration' >/dev/null 2>&1 || fail "the uninstaller left the .qxc file type"
wine reg query 'HKCR\.qxc' /ve | grep -q Other.Configuration || fail "the uninstaller took .qxc from another program"
echo "Installed, started and uninstalled under Wine"
