#!/bin/sh
# Installs what is missing, builds the window host, the assembler and the
# example game (nothing else), and runs the game: in a window on the user's
# display when there is one; otherwise on a private Xvfb for a few seconds
# with scripted keys, then saves a screenshot (build/game.png, or $1).
set -e
cd "$(dirname "$0")/.."
./tools/setup-debian.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target mcb mcbrun example_glowcatch
game=build/examples/glowcatch
if [ -n "$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Glowcatch: arrows or the pointer move the basket, P pauses, space plays again."
  cd "$game" && exec ../../src/mcb --windowed --title Glowcatch
fi
exec ./tools/play-headless.sh "$game" "${1:-build/game.png}"
