#!/bin/sh
# Installs what is missing, builds, and passes every test: the release build
# with gcc, then the sanitizer build with clang (which also builds the fuzz
# targets and runs each for a short smoke run).
set -e
cd "$(dirname "$0")/.."
./tools/setup-debian.sh
JOBS=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$JOBS"
(cd build && ctest --output-on-failure -j"$JOBS")

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DFUZZ=ON \
  -DBUILD_BENCH=OFF -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
cmake --build build-asan -j"$JOBS"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$JOBS")

./tools/fuzz-smoke.sh build-asan "${FUZZ_SECONDS:-60}"
