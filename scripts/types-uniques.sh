#!/usr/bin/env bash
# Fails when a type name (struct, class, union, enum) is defined twice at
# namespace scope, outside an anonymous namespace, among the sources given
# (src/ by default): two such definitions in one namespace break the
# one-definition rule, and the linker keeps one of them for both without a
# word. Each layer (a folder of the sources) has its namespace, tarvik::LAYER,
# where two layers could each define a type of the same name legally; a name
# still means one thing, so names are compared without their layer's
# namespace (a nested class keeps its class: Sortie::Partage).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
dossier=${1:-src}
mapfile -d '' fichiers < <(find "$dossier" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)
couches=$(find "$dossier" -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | sort | paste -sd '|')
awk -v couches="$couches" '
    # The line without its comments, strings and characters, a block comment
    # or a raw string carried over from one line to the next.
    function nettoyer(ligne,    sortie, c, suite, fin) {
        sortie = ""
        while (ligne != "") {
            if (dansCommentaire) {
                fin = index(ligne, "*/")
                if (!fin) return sortie
                ligne = substr(ligne, fin + 2); dansCommentaire = 0; continue
            }
            if (dansBrute) {
                fin = index(ligne, ")\"")
                if (!fin) return sortie
                ligne = substr(ligne, fin + 2); dansBrute = 0; continue
            }
            c = substr(ligne, 1, 1); suite = substr(ligne, 2, 1)
            if (c == "/" && suite == "/") return sortie
            if (c == "/" && suite == "*") { dansCommentaire = 1; ligne = substr(ligne, 3); continue }
            if (c == "R" && suite == "\"" && substr(ligne, 3, 1) == "(") {
                dansBrute = 1; ligne = substr(ligne, 4); continue
            }
            if (c == "\"" || c == "\047") {
                ligne = substr(ligne, 2)
                while (ligne != "" && substr(ligne, 1, 1) != c)
                    ligne = substr(ligne, substr(ligne, 1, 1) == "\\" ? 3 : 2)
                ligne = substr(ligne, 2); sortie = sortie " "; continue
            }
            sortie = sortie c; ligne = substr(ligne, 2)
        }
        return sortie
    }
    FNR == 1 { profondeur = 0; pile = 0; dansCommentaire = 0; dansBrute = 0 }
    {
        ligne = nettoyer($0)
        portee = pile ? niveau[pile] : 0
        anonyme = 0; nom = ""
        for (k = 1; k <= pile; ++k) {
            if (nomEspace[k] == "{anonyme}") anonyme = 1
            else if (nomEspace[k] != "") nom = nom nomEspace[k] "::"
        }
        if (profondeur == portee && !anonyme &&
            match(ligne, /^[ \t]*(template[ \t]*<[^>]*>[ \t]*)?(struct|class|union|enum([ \t]+(class|struct))?)[ \t]+[A-Za-z_][A-Za-z0-9_]*([ \t]+final)?[ \t]*([:{].*)?$/) &&
            !(ligne ~ /;[ \t]*$/ && ligne !~ /\{/)) {
            # The name as written, qualified when a nested type is defined
            # out of its class (struct Sortie::Partage {).
            reste = ligne
            sub(/^[ \t]*(template[ \t]*<[^>]*>[ \t]*)?(struct|class|union|enum([ \t]+(class|struct))?)[ \t]+/, "", reste)
            match(reste, /^[A-Za-z_][A-Za-z0-9_]*(::[A-Za-z_][A-Za-z0-9_]*)*/)
            type = nom substr(reste, RSTART, RLENGTH)
            sub("^tarvik::(" couches ")::", "", type)
            lieux[type] = lieux[type] "\n  " FILENAME ":" FNR
            ++fois[type]
        }
        espace = ""
        if (match(ligne, /(^|[^A-Za-z0-9_])namespace[ \t]*[A-Za-z0-9_:]*[ \t]*\{/)) {
            espace = substr(ligne, RSTART, RLENGTH)
            sub(/.*namespace[ \t]*/, "", espace); sub(/[ \t]*\{.*/, "", espace)
            if (espace == "") espace = "{anonyme}"
        } else if (ligne ~ /(^|[^A-Za-z0-9_])extern[ \t]*\{/)
            espace = "-"
        for (k = 1; k <= length(ligne); ++k) {
            c = substr(ligne, k, 1)
            if (c == "{") {
                ++profondeur
                if (espace != "") {
                    niveau[++pile] = profondeur; nomEspace[pile] = espace == "-" ? "" : espace
                    espace = ""
                }
            } else if (c == "}") {
                if (pile && niveau[pile] == profondeur) --pile
                --profondeur
            }
        }
    }
    END {
        statut = 0
        for (type in fois)
            if (fois[type] > 1) {
                printf "type défini %d fois : %s%s\n", fois[type], type, lieux[type] > "/dev/stderr"
                statut = 1
            }
        exit statut
    }' "${fichiers[@]}"
