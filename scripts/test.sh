#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

installer "${PAQUETS_CONSTRUCTION[@]}" "${PAQUETS_TESTS[@]}"
construire build
ctest --test-dir build --output-on-failure --timeout 300
