#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Fuzzes the import with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer: fuzz_downloadline on the line parser, fuzz_import
# on the whole import into a temporary database. Not part of the normal build;
# needs clang-14, libclang-rt-14-dev and pkg-config, which it installs when missing.
#
#   tests/fuzz/fuzz.sh build                     builds both into build/fuzz
#   tests/fuzz/fuzz.sh run TARGET [SECONDS]      runs one (600 seconds unless given)
#
# A run starts from the corpus kept in tests/fuzz/corpus/TARGET and works in a
# copy of it in build/fuzz; a crash, hang or sanitizer report stops it and
# leaves the input in build/fuzz (crash-*, timeout-*). To keep new inputs that
# reach new code, merge them back:
#   build/fuzz/TARGET -merge=1 tests/fuzz/corpus/TARGET build/fuzz/corpus-TARGET
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
out=$root/build/fuzz

packages=(clang-14 libclang-rt-14-dev pkg-config)

source "$root/scripts/debian.sh"

build() {
    install_missing "${packages[@]}"
    mkdir -p "$out"
    local flags=(-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined
                 -fno-sanitize-recover=undefined $(pkg-config --cflags Qt6Core Qt6Sql)
                 -I"$root")
    # The widget-free cores the import stands on, whole.
    local core=("$root"/outcome/*.cpp "$root"/appfiles/*.cpp "$root"/store/*.cpp
                "$root"/import/{downloadline,downloadreader,knownobservations,logging,modimportscreen}.cpp
                "$root"/tests/support/sqlfile.cpp)
    local libs=($(pkg-config --libs Qt6Core Qt6Sql) -lsqlite3)
    clang++-14 "${flags[@]}" "$root/tests/fuzz/fuzz_downloadline.cpp" "${core[@]}" "${libs[@]}" \
        -o "$out/fuzz_downloadline"
    clang++-14 "${flags[@]}" "$root/tests/fuzz/fuzz_import.cpp" "${core[@]}" "${libs[@]}" -o "$out/fuzz_import"
}

run() {
    local target=$1 seconds=${2:-600}
    build
    mkdir -p "$out/corpus-$target"
    cp -n "$root/tests/fuzz/corpus/$target"/* "$out/corpus-$target/"
    cd "$out"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "./$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        "corpus-$target"
}

case "${1:-}" in
    build) build ;;
    run) run "${2:?which target: fuzz_downloadline or fuzz_import}" "${3:-600}" ;;
    *)
        echo "usage: $0 build | run fuzz_downloadline|fuzz_import [seconds]" >&2
        exit 2
        ;;
esac
