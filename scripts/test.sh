#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suite, the same
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, and a short
# bounded run of each fuzzer.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

installer "${PAQUETS_CONSTRUCTION[@]}" "${PAQUETS_TESTS[@]}"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

echo "== Tests"
construire build
ctest --test-dir build --output-on-failure --timeout 300

echo "== Tests sous AddressSanitizer et UndefinedBehaviorSanitizer"
construire build-asan -DTARVIK_SANITIZE=ON -DTARVIK_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure --timeout 300

echo "== Fuzzing (libFuzzer, quelques secondes par cible)"
CC=clang CXX=clang++ construire build-fuzz -DTARVIK_FUZZ=ON -DTARVIK_BENCH=OFF
ctest --test-dir build-fuzz -L fuzz --output-on-failure --timeout 300
