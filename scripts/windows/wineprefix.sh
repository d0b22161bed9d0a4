# Sourced by the Windows stage's scripts.
# newWinePrefix FOLDER: a new Wine prefix there, made WINEPREFIX, with Wine's own fonts (Debian's
# fonts-wine) where Windows keeps its fonts. Debian's Wine leaves C:\windows\Fonts empty: Qt then
# finds no "MS Shell Dlg" and takes the first font listed, whose line height pushes the text out of
# every field.
newWinePrefix() {
    export WINEPREFIX=$1
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}
