#!/usr/bin/env bash
# Builds the Debian package as an installer gets it and checks it: the desktop entry and the AppStream
# metadata are valid, the .qxc file type registers with the program's icon, the package holds every
# installed file and depends on the Qt runtime it links, and its program, unpacked, opens the port
# question on an X display with the program's icon.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh desktop-file-utils appstream shared-mime-info dpkg-dev file xvfb xauth x11-utils

build=build-package
fail() { echo "check-package: $*" >&2; exit 1; }

cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build $build --target qx7m-programmer qx7m-upload qx7m-sim manpages
rm -rf $build/stage && DESTDIR="$PWD/$build/stage" cmake --install $build >/dev/null
share=$build/stage/usr/share
desktop=$(echo $share/applications/*.desktop)
id=$(basename "$desktop" .desktop)

echo "== Desktop entry, AppStream metadata and file type of $id"
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml"
XDG_DATA_DIRS="$PWD/$share" update-mime-database "$share/mime"
grep -qx "50:application/x-qx7m-configuration:\*.qxc" "$share/mime/globs2" || fail "*.qxc is not registered"
grep -qx "application/x-qx7m-configuration:$id" "$share/mime/icons" || fail "the .qxc type has not the program's icon"
grep -qx "MimeType=application/x-qx7m-configuration;" "$desktop" || fail "the desktop entry does not open .qxc files"
grep -q "^Exec=qx7m-programmer %f$" "$desktop" || fail "the desktop entry does not pass the file"

echo "== Debian package"
(cd $build && cpack -G DEB >/dev/null)
deb=$(ls $build/*.deb)
dpkg -I "$deb"
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
expected=(
    ./usr/bin/qx7m-programmer ./usr/bin/qx7m-upload ./usr/bin/qx7m-sim
    ./usr/share/man/man1/qx7m-programmer.1.gz ./usr/share/man/man1/qx7m-upload.1.gz ./usr/share/man/man1/qx7m-sim.1.gz
    "./usr/share/applications/$id.desktop" "./usr/share/metainfo/$id.metainfo.xml" "./usr/share/mime/packages/$id.xml"
    "./usr/share/icons/hicolor/scalable/apps/$id.svg")
for size in 16 24 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for path in "${expected[@]}"; do
    grep -qxF "$path" <<<"$contents" || fail "the package lacks $path"
done
# Nothing else: no static library, header or test of the build slips in.
files=$(dpkg-deb -c "$deb" | grep -c '^-')
[ "$files" -eq ${#expected[@]} ] || fail "the package holds $files files, not ${#expected[@]}"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 qt6-qpa-plugins; do
    grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "the package does not depend on $package"
done
! grep -q -- '-dev' <<<"$depends" || fail "the package depends on a development package: $depends"

echo "== The packaged program on an X display"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
# The program's own window system, not the offscreen one of the tests.
QX7M_PROGRAM="$unpacked/usr/bin/qx7m-programmer" XDG_RUNTIME_DIR="$unpacked" env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x800x24" \
    bash -c '
        "$QX7M_PROGRAM" &
        program=$!
        window=
        for _ in $(seq 100); do
            window=$(xwininfo -root -tree | grep -F "\"Com port selection\"" | awk "{print \$1}" | head -n 1)
            [ -n "$window" ] && break
            sleep 0.1
        done
        [ -n "$window" ] || { echo "check-package: no \"Com port selection\" window" >&2; kill $program; exit 1; }
        echo "\"Com port selection\" is window $window"
        xprop -id "$window" _NET_WM_ICON | grep -q "Icon (" || { echo "check-package: the window has no icon" >&2; kill $program; exit 1; }
        kill $program
    '
echo "== The package $deb is complete"
