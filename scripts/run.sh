#!/usr/bin/env bash
# Installs what is missing, builds the panel alone (optimised, no tests) in
# build-run/, and starts it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

installer "${PAQUETS_CONSTRUCTION[@]}"
CIBLE=tarvik construire build-run -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTARVIK_BENCH=OFF

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Le panneau est construit (build-run/tarvik), mais aucun écran n'est disponible" \
        "(DISPLAY n'est pas défini) : lancez-le depuis une session graphique." >&2
    exit 1
fi
exec ./build-run/tarvik "$@"
