#!/usr/bin/env bash
# Sets up, builds with AddressSanitizer and UndefinedBehaviorSanitizer, runs a
# five-second smoke run of every fuzz target (scripts/fuzz.sh fuzzes longer),
# then every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# Line tables (-g1) are all the sanitizers' reports need, and compile a tenth
# faster than full debug information.
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELTRA_SANITIZE=ON -DCMAKE_CXX_FLAGS_DEBUG=-g1
cmake --build build-test -j"$(nproc)"
bash scripts/fuzz.sh 5
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Two tests more than there are cores: an eighth of the tests' time is spent
# waiting on the programs they start and on timers, and one slot goes to the
# low-priority check that compiles the lower rooms' sources one by one.
ctest --test-dir build-test --output-on-failure -j"$(( $(nproc) + 2 ))"
