#!/usr/bin/env bash
# Installs the Windows cross toolchain from Debian's packages and makes Qt 6.4.2 for Windows
# (qtbase and qtserialport, mingw-w64) ready under /opt/qx7m, keyed by version and options.
# The first run takes ../shared/thirdparty's prebuilt qtbase when it is there, and otherwise builds
# it from Debian's qt6-base source package; qtserialport comes from the tarball beside that copy,
# with two fixes to its Windows notifier (the patch says why).
# Prints the Qt prefix on its last line.
# Usage: qt.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
project=$PWD

bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 wine nsis \
    xvfb x11-utils xdotool imagemagick fonts-wine zip dpkg-dev xz-utils patch >&2

version=6.4.2
thirdparty=${QX7M_THIRDPARTY:-$project/../shared/thirdparty}
# What the programs and tests need of Qt Base and no more; the same options as the prebuilt copy.
options=(-DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_opengl=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_testlib=ON
    -DFEATURE_tabletevent=OFF)
key=$(printf '%s\n' "${options[@]}" | sha256sum | cut -c1-8)
prefix=/opt/qx7m/mingw-qt-$version-$key
serialPortPatch=$project/scripts/windows/qtserialport-$version-notifier.patch
# What the prefix is made of; a copy made of anything else is made again, in the same place, so that the
# builds that use it recompile only what the change touches.
made=$(printf '%s\n' "${options[@]}" "$(sha256sum <"$serialPortPatch")")
if [ "$(cat "$prefix/.complete" 2>/dev/null)" = "$made" ]; then
    echo "$prefix"
    exit 0
fi

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# Source packages come from where this machine's own packages come from: a deb-src twin of each of
# its Debian 12 entries, with the same address, suites, components and key (apt refuses two entries
# for one address that name different keys).
addSourcePackageEntries() {
    local twins classic
    twins=$(find /etc/apt/sources.list.d -maxdepth 1 -name '*.sources' -exec awk '
        function flush() {
            if (deb && bookworm) printf "Types: deb-src\n%s\n", fields
            deb = bookworm = 0; fields = ""
        }
        FNR == 1 { flush() }
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { flush(); next }
        tolower($1) == "types:" { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1; next }
        tolower($1) == "suites:" { for (i = 2; i <= NF; i++) if ($i == "bookworm") bookworm = 1 }
        { fields = fields $0 "\n" }
        END { flush() }' {} +)
    classic=$(find /etc/apt -maxdepth 2 -name '*.list' -path '/etc/apt/sources.list*' -exec cat {} + \
        | awk '$1 == "deb" && / bookworm / { sub(/^deb/, "deb-src"); print }')
    [ -n "$twins$classic" ] || { echo "qt.sh: this machine's apt sources have no Debian 12 (bookworm) entry" >&2; exit 1; }
    [ -z "$twins" ] || echo "$twins" | "${sudo[@]}" tee /etc/apt/sources.list.d/qx7m-deb-src.sources >/dev/null
    [ -z "$classic" ] || echo "$classic" | "${sudo[@]}" tee /etc/apt/sources.list.d/qx7m-deb-src.list >/dev/null
}
"${sudo[@]}" mkdir -p /opt/qx7m
"${sudo[@]}" chown "$(id -u):$(id -g)" /opt/qx7m
rm -rf "$prefix" "$prefix.work"
mkdir -p "$prefix.work"

prebuilt=$thirdparty/mingw-qt-$version-x86_64-w64-mingw32.tar.xz
cross=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$project/cmake/mingw-w64-x86_64.cmake" -DQX7M_QT_PREFIX="$prefix"
    -DCMAKE_INSTALL_PREFIX="$prefix")
cd "$prefix.work"
if [ -f "$prebuilt" ]; then
    echo "Unpacking the prebuilt Qt $version for Windows from $prebuilt" >&2
    tar -xJf "$prebuilt"
    mv qt6-mingw "$prefix"
else
    echo "Building Qt $version for Windows from source (45 to 60 minutes on 2 cores)" >&2
    if ! apt-get source --download-only -q "qt6-base=$version+dfsg-10" >&2; then
        addSourcePackageEntries
        "${sudo[@]}" apt-get update -q >&2
        apt-get source --download-only -q "qt6-base=$version+dfsg-10" >&2
    fi
    mkdir qtbase && tar -xJf qt6-base_$version+dfsg.orig.tar.xz -C qtbase --strip-components=1
    # With OpenGL off, 6.4.2's Windows platform plug-in compiles only without dynamic OpenGL too.
    cmake -S qtbase -B build-qtbase "${cross[@]}" "${options[@]}" -DFEATURE_dynamicgl=OFF >&2
    cmake --build build-qtbase >&2
    cmake --install build-qtbase >&2
fi
# Qt Serial Port always from source, with the fix that the patch explains, over the prebuilt copy's
# (whose DLL lacks it).
echo "Building Qt Serial Port $version for Windows with $(basename "$serialPortPatch")" >&2
mkdir qtserialport && tar -xJf "$thirdparty/qtserialport-everywhere-src-$version.tar.xz" \
    -C qtserialport --strip-components=1
patch -d qtserialport -p1 <"$serialPortPatch" >&2
cmake -S qtserialport -B build-qtserialport "${cross[@]}" -DCMAKE_BUILD_TYPE=Release >&2
cmake --build build-qtserialport >&2
cmake --install build-qtserialport >&2
cd "$project"
echo "$made" >"$prefix/.complete"
rm -rf "$prefix.work"
echo "$prefix"
