#!/usr/bin/env bash
# Runs the whole suite as a loaded machine runs it: once in build/, once in
# build-asan/ (the sanitizers, configured as test.sh configures them), each
# time with two CPU-bound processes beside it from the first test to the
# last. They are ended whatever happens. No test is tried twice: one that
# needs a second try fails. Prints the wall time of each run.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

installer "${PAQUETS_CONSTRUCTION[@]}" "${PAQUETS_TESTS[@]}"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

construire build
construire build-asan -DTARVIK_SANITIZE=ON -DTARVIK_BENCH=OFF

# The busy loops running now, by their own process ids.
charges=()
arreterCharges() {
    local pid
    for pid in "${charges[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    charges=()
}
trap arreterCharges EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# executer NOM DOSSIER [VARIABLE=VALEUR...]: the suite of DOSSIER beside two
# busy loops, one a core of a 2-core machine; its code.
executer() {
    local nom=$1 dossier=$2
    shift 2
    local _
    for _ in 1 2; do
        sh -c 'while :; do :; done' &
        charges+=($!)
    done
    local debut code=0
    debut=$(date +%s.%N)
    env "$@" ctest --test-dir "$dossier" --output-on-failure --timeout 300 || code=$?
    local fin
    fin=$(date +%s.%N)
    arreterCharges
    LC_ALL=C awk -v nom="$nom" -v d="$debut" -v f="$fin" -v c="$code" \
        'BEGIN { printf "== %s, sous charge : %.1f s (code %d)\n", nom, f - d, c }'
    return "$code"
}

rouge=0
executer "build/" build || rouge=1
executer "build-asan/ (AddressSanitizer, UndefinedBehaviorSanitizer)" build-asan \
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS=suppressions="$racine/tests/lsan.supp" || rouge=1
exit "$rouge"
