#!/bin/sh
# Installs what is missing, builds, and runs the example application headless.
set -e
cd "$(dirname "$0")/.."
./tools/setup-debian.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
exec ./build/tools/mcbrun build/examples/hello
