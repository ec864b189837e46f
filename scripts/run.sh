#!/usr/bin/env bash
# Installs what is missing, builds every program (optimised, no tests) in
# build-run/: the panel tarvik, the sender tarvik-envoyer and the virtual
# board tarvik-carte; then starts the panel. With --carte first, starts the
# virtual board too, points the panel at its port, and ends the board when
# the panel ends.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

installer "${PAQUETS_CONSTRUCTION[@]}"
construire build-run -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTARVIK_BENCH=OFF

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Les programmes sont construits (build-run/tarvik, build-run/tarvik-envoyer," \
        "build-run/tarvik-carte), mais aucun écran n'est disponible (DISPLAY n'est pas" \
        "défini) : lancez le panneau depuis une session graphique." >&2
    exit 1
fi
if [ "${1:-}" != --carte ]; then
    exec ./build-run/tarvik "$@"
fi
shift
# The board's link: its own place, else one in build-run/ (without
# XDG_RUNTIME_DIR it would put none).
if [ -n "${XDG_RUNTIME_DIR:-}" ]; then
    lien=$XDG_RUNTIME_DIR/tarvik-carte
    ./build-run/tarvik-carte &
else
    lien=$racine/build-run/tarvik-carte
    ./build-run/tarvik-carte --lien "$lien" &
fi
carte=$!
trap 'kill "$carte" 2>/dev/null' EXIT
for _ in $(seq 100); do
    [ -L "$lien" ] && break
    kill -0 "$carte" 2>/dev/null || exit 3 # it said why on stderr
    sleep 0.1
done
./build-run/tarvik --port "$lien" "$@"
