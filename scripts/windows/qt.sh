#!/usr/bin/env bash
# Installs the Windows cross toolchain from Debian's packages and makes Qt 6.4.2 for Windows
# (qtbase and qtserialport, mingw-w64) ready under /opt/qx7m, keyed by version and options.
# The first run takes ../shared/thirdparty's prebuilt copy when it is there, and otherwise builds
# Qt from source (Debian's qt6-base source package and the qtserialport tarball beside that copy).
# Prints the Qt prefix on its last line.
# Usage: qt.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
project=$PWD

bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 wine nsis \
    xvfb x11-utils imagemagick zip dpkg-dev xz-utils >&2

version=6.4.2
thirdparty=${QX7M_THIRDPARTY:-$project/../shared/thirdparty}
# What the programs and tests need of Qt Base and no more; the same options as the prebuilt copy.
options=(-DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_opengl=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_testlib=ON
    -DFEATURE_tabletevent=OFF)
key=$(printf '%s\n' "${options[@]}" | sha256sum | cut -c1-8)
prefix=/opt/qx7m/mingw-qt-$version-$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" mkdir -p /opt/qx7m
"${sudo[@]}" chown "$(id -u):$(id -g)" /opt/qx7m
rm -rf "$prefix" "$prefix.work"
mkdir -p "$prefix.work"

prebuilt=$thirdparty/mingw-qt-$version-x86_64-w64-mingw32.tar.xz
if [ -f "$prebuilt" ]; then
    echo "Unpacking the prebuilt Qt $version for Windows from $prebuilt" >&2
    tar -xJf "$prebuilt" -C "$prefix.work"
    mv "$prefix.work/qt6-mingw" "$prefix"
else
    echo "Building Qt $version for Windows from source (45 to 60 minutes on 2 cores)" >&2
    cd "$prefix.work"
    if ! apt-get source --download-only -q "qt6-base=$version+dfsg-10" >&2; then
        echo "deb-src http://deb.debian.org/debian bookworm main" \
            | "${sudo[@]}" tee /etc/apt/sources.list.d/qx7m-deb-src.list >/dev/null
        "${sudo[@]}" apt-get update -q >&2
        apt-get source --download-only -q "qt6-base=$version+dfsg-10" >&2
    fi
    mkdir qtbase && tar -xJf qt6-base_$version+dfsg.orig.tar.xz -C qtbase --strip-components=1
    mkdir qtserialport && tar -xJf "$thirdparty/qtserialport-everywhere-src-$version.tar.xz" \
        -C qtserialport --strip-components=1
    cross=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$project/cmake/mingw-w64-x86_64.cmake" -DQX7M_QT_PREFIX="$prefix"
        -DCMAKE_INSTALL_PREFIX="$prefix")
    # With OpenGL off, 6.4.2's Windows platform plug-in compiles only without dynamic OpenGL too.
    cmake -S qtbase -B build-qtbase "${cross[@]}" "${options[@]}" -DFEATURE_dynamicgl=OFF >&2
    cmake --build build-qtbase >&2
    cmake --install build-qtbase >&2
    cmake -S qtserialport -B build-qtserialport "${cross[@]}" -DCMAKE_BUILD_TYPE=Release >&2
    cmake --build build-qtserialport >&2
    cmake --install build-qtserialport >&2
    cd "$project"
fi
printf '%s\n' "${options[@]}" >"$prefix/.complete"
rm -rf "$prefix.work"
echo "$prefix"
