#!/usr/bin/env bash
# Refreshes docs/MorvantideNT.png and docs/Morvantide4.png: each program's main
# dialog rendered offscreen. Usage: scripts/screenshots.sh [BUILD-DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
cmake --build "$build" --target morvantide_screenshot
mkdir -p docs
QT_QPA_PLATFORM=offscreen "$build/tools/morvantide_screenshot" docs
