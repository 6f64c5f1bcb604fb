#!/usr/bin/env bash
# Sets up, builds the program, the course tool and the sample course (the test
# command builds the rest) and starts the program on the sample course.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target veltra veltra-course veltra_sample_course
if [ -x build/veltra ]; then
  exec build/veltra
fi
build/veltra-course --help
