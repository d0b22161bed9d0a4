#!/usr/bin/env bash
# Builds the Windows setup program and the portable zip, without the tests:
# build-windows-package/qx7m-programmer-1.2-win64-setup.exe and qx7m-programmer-1.2-win64.zip.
# Usage: package.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build-windows-package
QX7M_QT_PREFIX=$(bash scripts/windows/qt.sh | tail -n 1)
export QX7M_QT_PREFIX
cmake -S . -B $build -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_TESTING=OFF >/dev/null
cmake --build $build
(cd $build && cpack >/dev/null)
ls -l $build/*-win64-setup.exe $build/*-win64.zip
