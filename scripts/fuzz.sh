#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan+UBSan) into build-fuzz and runs
# each for SECONDS seconds, as many at once as there are cores. Silent when
# nothing is found; otherwise prints the findings and exits non-zero. Each
# target keeps its corpus in fuzz/corpus-NAME between runs; fuzz/seeds/NAME
# starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: scripts/fuzz.sh SECONDS" >&2
  exit 2
fi

log=build-fuzz/configure.log
mkdir -p build-fuzz
if ! CC=clang-14 CXX=clang++-14 cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$log" 2>&1 \
  || ! cmake --build build-fuzz -j"$(nproc)" >>"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi

# One target on each core at a time.
run_target() {
  local name="$1" extra=()
  # The Access target's inputs are patch lists to a database it writes itself.
  [ "$name" = access ] && extra=(-max_len=1024)
  local corpus="fuzz/corpus-$name"
  mkdir -p "$corpus"
  local log="build-fuzz/fuzz_$name.log"
  if ! "build-fuzz/fuzz_$name" "$corpus" "fuzz/seeds/$name" \
      -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="build-fuzz/$name-" "${extra[@]}" \
      >"$log" 2>&1; then
    {
      echo "fuzz_$name found a problem (full log: $log):"
      tail -n 60 "$log"
    } >"build-fuzz/fuzz_$name.failed"
  fi
}

rm -f build-fuzz/*.failed
for name in container cipher lesson_list sentence_marking lesson_mp3 wav access; do
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do
    wait -n
  done
  run_target "$name" &
done
wait
if compgen -G "build-fuzz/*.failed" >/dev/null; then
  cat build-fuzz/*.failed >&2
  exit 1
fi
