#!/usr/bin/env bash
# Installs what is missing, builds, and prints the benchmark figures (the
# start-up part runs on its own Xvfb display).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

installer "${PAQUETS_CONSTRUCTION[@]}" "${PAQUETS_TESTS[@]}"
construire build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
ecran=
for n in $(seq 130 160); do
    [ -e "/tmp/.X$n-lock" ] && continue
    ecran=":$n"
    break
done
Xvfb "$ecran" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${ecran#:}" ] && break; sleep 0.05; done

DISPLAY=$ecran ./build-bench/bench/bench_tarvik ./build-bench/tarvik ./build-bench/bench/bare_qt \
    ./build-bench/tarvik-envoyer
