#!/usr/bin/env bash
# Compiles every source of the rooms below the widgets on its own, syntax
# only, from the list cmake/RoomsAlone.cmake writes: in the build a source
# shares a batch with others, and an include it lacks can hide behind one a
# batch-mate made. Prints each file that does not compile alone.
set -u
list="$1"
compiler="" room="" failed=0
implicit=() defines=() includes=()
check() {
  local flags=(-std=c++20 -fPIC -fsyntax-only -w)
  local d
  for d in "${defines[@]}"; do flags+=("-D$d"); done
  for d in "${includes[@]}"; do
    [[ " ${implicit[*]} " == *" $d "* ]] || flags+=("-I$d")
  done
  if ! "$compiler" "${flags[@]}" "$1"; then
    echo "rooms-alone: $1 does not compile on its own (room $room)" >&2
    failed=1
  fi
}
while IFS=$'\t' read -r kind value; do
  case "$kind" in
    compiler) compiler="$value" ;;
    implicit) implicit+=("$value") ;;
    room) room="$value" defines=() includes=() ;;
    define) defines+=("$value") ;;
    include) includes+=("$value") ;;
    source) check "$value" ;;
  esac
done <"$list"
[ "$failed" = 0 ] && echo "rooms-alone: every source compiles on its own"
exit "$failed"
