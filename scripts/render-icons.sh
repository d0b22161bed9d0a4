#!/usr/bin/env bash
# Renders the application icon's PNG sizes (freedesktop hicolor layout) from its SVG.
# Shrinks them with optipng when it is installed; it is not required.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh librsvg2-bin

name=io.github.qx7m_programmer.Programmer
svg=packaging/icons/$name.svg
for size in 16 24 32 48 64 128 256; do
    png=packaging/icons/hicolor/${size}x${size}/apps/$name.png
    mkdir -p "$(dirname "$png")"
    rsvg-convert -w "$size" -h "$size" -o "$png" "$svg"
    if command -v optipng >/dev/null; then
        optipng -quiet -o7 -strip all "$png"
    fi
    echo "$png"
done
