#!/bin/sh
# Redraws data/stamp and data/frames. Needs the Debian packages fonts-noto-color-emoji and
# fonts-ipafont-gothic, and a configured build/ folder.
set -e
cd "$(dirname "$0")/../.."
cmake --build build --target make-artwork
build/data/artwork/make-artwork data/stamp data/frames
