#!/usr/bin/env bash
# Builds the QX-7M Programmer and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_COMPILE_WARNING_AS_ERROR=OFF >/dev/null
cmake --build build
exec build/app/qx7m-programmer "$@"
