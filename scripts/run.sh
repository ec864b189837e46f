#!/usr/bin/env bash
# Installs what is missing, builds, and starts the panel.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

installer "${PAQUETS_CONSTRUCTION[@]}"
construire build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Le panneau est construit (build/tarvik), mais aucun écran n'est disponible" \
        "(DISPLAY n'est pas défini) : lancez-le depuis une session graphique." >&2
    exit 1
fi
exec ./build/tarvik "$@"
