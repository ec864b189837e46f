# Shared by run.sh and test.sh: installs what is missing, then configures and
# builds into build/. Sourced, not run.
set -euo pipefail

racine=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$racine"

# Installs the Debian packages given that are not installed yet; does
# nothing (and touches no network) when all are there.
installer() {
    local manquants=()
    for paquet in "$@"; do
        if [ "$(dpkg-query -W -f='${db:Status-Status}' "$paquet" 2>/dev/null)" != installed ]; then
            manquants+=("$paquet")
        fi
    done
    [ ${#manquants[@]} -eq 0 ] && return 0
    echo "Installation : ${manquants[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${manquants[@]}"
}

PAQUETS_CONSTRUCTION=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev
    fonts-liberation qt6-translations-l10n libxcb1-dev qt6-tools-dev qt6-l10n-tools libudev-dev)
# What the tests add: a virtual X server and a keyboard to press TEST, a
# serial bridge, the serial programs other operators run beside the panel,
# clang with its libFuzzer runtime, and the checkers of the package and its
# metadata.
PAQUETS_TESTS=(xvfb xdotool socat screen minicom clang libclang-rt-14-dev dpkg-dev lintian
    appstream desktop-file-utils)

# Configures (once) and builds a tree: construire DOSSIER [cmake options...];
# CIBLE, when set, builds only that target.
construire() {
    local dossier=$1
    shift
    if [ ! -f "$dossier/build.ninja" ]; then
        cmake -S . -B "$dossier" -G Ninja "$@"
    fi
    cmake --build "$dossier" --parallel "$(nproc)" ${CIBLE:+--target "$CIBLE"}
}
