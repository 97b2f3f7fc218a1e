#!/usr/bin/env bash
# Builds velnora-findercharts and redraws the finder chart pictures into
# assets/map (needs ImageMagick's convert) and the Messier object pictures into
# assets/pics. Commit the GIF and JPEG files it writes.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake -S . -B build-tools -G Ninja -DVELNORA_BUILD_TOOLS=ON -DVELNORA_BUILD_TESTS=OFF -DVELNORA_BUILD_BENCH=OFF >/dev/null
cmake --build build-tools --target velnora-findercharts
build-tools/tools/findercharts/velnora-findercharts --labels tests/aids/data/virgo_labels.txt assets/map
build-tools/tools/findercharts/velnora-findercharts --pictures assets/pics
