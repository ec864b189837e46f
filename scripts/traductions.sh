#!/usr/bin/env bash
# Fails when a text of the sources is missing from a catalogue, has changed
# since, or is left unfinished there: lupdate and lrelease report it.
# With --mettre-a-jour, brings every catalogue up to date with the sources
# instead; then translate what Qt Linguist (linguist-qt6) shows unfinished.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
outils=/usr/lib/qt6/bin
mettre_a_jour() {
    "$outils/lupdate" -silent -source-language fr_FR -no-obsolete -locations none -I src src \
        -ts "$1"
}
if [ "${1:-}" = --mettre-a-jour ]; then
    for catalogue in translations/*.ts; do mettre_a_jour "$catalogue"; done
    exit 0
fi
travail=$(mktemp -d)
trap 'rm -rf "$travail"' EXIT
statut=0
for catalogue in translations/*.ts; do
    copie="$travail/$(basename "$catalogue")"
    cp "$catalogue" "$copie"
    mettre_a_jour "$copie"
    if ! diff -u "$catalogue" "$copie" >"$travail/ecarts"; then
        echo "$catalogue ne suit pas les sources (textes ajoutés, changés ou retirés) :" >&2
        grep '^[-+] *<source>' "$travail/ecarts" | head -20 >&2 || true
        statut=1
    fi
    rapport=$("$outils/lrelease" "$copie" -qm "$travail/essai.qm" 2>&1)
    if ! grep -q ' 0 unfinished)' <<<"$rapport" || grep -q 'Ignored' <<<"$rapport"; then
        echo "$catalogue a des traductions inachevées : $rapport" >&2
        statut=1
    fi
done
# The panel's own French texts keep French typography: a no-break space
# inside « » and before : ; ! ? (the window's original captions stay as
# they are).
for catalogue in translations/*.ts; do
    if grep -nP '<source>[^<]*( [:;!?]|« | »)' "$catalogue" |
        grep -v "Comment Créer un fichier de désignation d&apos;axes ?" >"$travail/espaces"; then
        echo "$catalogue : espace ordinaire où il faut une espace insécable (U+00A0) :" >&2
        head -5 "$travail/espaces" >&2
        statut=1
    fi
done
[ $statut -eq 0 ] && echo "Catalogues complets : $(ls translations/*.ts | xargs -n1 basename | tr '\n' ' ')"
exit $statut
