#!/usr/bin/env bash
# Installs what is missing, builds the game into build/play and starts it from
# its run folder (data/ beside it; save/ is made there). Needs a display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build/play -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORNA_TESTS=OFF >/dev/null
cmake --build build/play -j "$(nproc)" --target morna
exec build/play/run/morna "$@"
