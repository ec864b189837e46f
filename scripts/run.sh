#!/usr/bin/env bash
# Installs what is missing, builds, and starts the panel.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

installer "${PAQUETS_CONSTRUCTION[@]}"
construire build
