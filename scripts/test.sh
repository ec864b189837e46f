#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suite, the same
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, a short
# bounded run of each fuzzer, and the Debian package with its metadata.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# The stages still to run. Should one fail, the script says which, and
# which ones did not run: their silence is no pass.
restantes=(tests sanitizers fuzzing paquet)
enCours=préparation
etape() {
    enCours=${restantes[0]}
    restantes=("${restantes[@]:1}")
    echo "== $1"
}
signalerRestantes() {
    local code=$?
    [ "$code" -eq 0 ] && return
    local message="Échec à l'étape « $enCours » (code $code)."
    if [ ${#restantes[@]} -gt 0 ]; then
        local liste
        liste=$(printf '%s, ' "${restantes[@]}")
        message+=" Étapes non lancées : ${liste%, }."
    fi
    echo "$message" >&2
}
trap signalerRestantes EXIT

installer "${PAQUETS_CONSTRUCTION[@]}" "${PAQUETS_TESTS[@]}"

# A layer sees only the layers below it, by their names: an include that
# climbs out of its folder would get round the build's check.
if grep -rn '#include "\.\./' src; then
    echo "src/ ne doit inclure aucun fichier par un chemin en ../ (voir « Architecture »)" >&2
    exit 1
fi
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

etape "Tests"
construire build
./scripts/traductions.sh
ctest --test-dir build --output-on-failure --timeout 300

etape "Tests sous AddressSanitizer et UndefinedBehaviorSanitizer"
construire build-asan -DTARVIK_SANITIZE=ON -DTARVIK_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS=suppressions="$racine/tests/lsan.supp" \
    ctest --test-dir build-asan --output-on-failure --timeout 300

etape "Fuzzing (libFuzzer, quelques secondes par cible)"
CC=clang CXX=clang++ construire build-fuzz -DTARVIK_FUZZ=ON -DTARVIK_BENCH=OFF
ctest --test-dir build-fuzz -L fuzz --output-on-failure --timeout 300

etape "Paquet Debian et métadonnées (lintian, appstreamcli, desktop-file-validate)"
construire build-paquet -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTARVIK_BENCH=OFF
rm -f build-paquet/tarvik_*.deb
(cd build-paquet && cpack -G DEB >/dev/null)
paquet=$(ls build-paquet/tarvik_*.deb)
lintian --fail-on error,warning "$paquet"
appstreamcli validate --no-net data/org.tarvik.Tarvik.metainfo.xml
desktop-file-validate data/org.tarvik.Tarvik.desktop data/org.tarvik.TarvikCarte.desktop
# cmake --install gives the package's tree, file for file.
arbre=$(mktemp -d)
DESTDIR=$arbre cmake --install build-paquet --prefix /usr >/dev/null
diff <(cd "$arbre" && find . -type f | sort) \
    <(dpkg-deb -c "$paquet" | awk '$1 !~ /^d/ {print $6}' | sort)
rm -rf "$arbre"
echo "Paquet conforme : $paquet"
