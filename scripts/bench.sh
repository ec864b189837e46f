#!/usr/bin/env bash
# Installs what is missing, builds, and prints the benchmark figures (the
# programs' part runs on its own Xvfb display).
#
#   ./scripts/bench.sh [--comparer ARBRE]
#
# --comparer ARBRE: another version's source tree (a git worktree of its
# commit, for instance) is built in Release with this tree's benchmark, in
# build-bench-comparee/, and every figure is given for both, "name value
# value_of_ARBRE", from one run on this machine: the part measured inside
# the benchmark's process three times for each, by turns, the median kept;
# the programs started, timed and left at rest by turns within one run.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

comparee=
while [ $# -gt 0 ]; do
    case $1 in
    --comparer)
        [ $# -ge 2 ] && [ -f "$2/CMakeLists.txt" ] || { echo "--comparer : pas un arbre de Tarvik : ${2:-}" >&2; exit 2; }
        comparee=$(cd "$2" && pwd)
        shift 2 ;;
    *)
        echo "utilisation : $0 [--comparer ARBRE]" >&2
        exit 2 ;;
    esac
done

installer "${PAQUETS_CONSTRUCTION[@]}" "${PAQUETS_TESTS[@]}"
construire build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
autre=build-bench-comparee
if [ -n "$comparee" ]; then
    cmake -S bench -B "$autre" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVIK_ARBRE="$comparee" >/dev/null
    cmake --build "$autre" --parallel "$(nproc)"
fi

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
ecran=
for n in $(seq 130 160); do
    [ -e "/tmp/.X$n-lock" ] && continue
    ecran=":$n"
    break
done
Xvfb "$ecran" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sorties=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; rm -rf "$sorties"' EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${ecran#:}" ] && break; sleep 0.05; done

banc=./build-bench/bench/bench_tarvik
programmes=(./build-bench/tarvik ./build-bench/bench/bare_qt ./build-bench/tarvik-envoyer)
if [ -z "$comparee" ]; then
    DISPLAY=$ecran "$banc" "${programmes[@]}"
    exit
fi

# The machine's processors, busy or idle, from /proc/stat: "busy total".
occupation() {
    awk '/^cpu / { total = 0; for (i = 2; i <= NF; i++) total += $i; print total - $5 - $6, total }' /proc/stat
}
read -r occupe0 total0 < <(occupation)
charge0=$(cut -d' ' -f1-3 /proc/loadavg)
for tour in 1 2 3; do
    if [ $((tour % 2)) -eq 1 ]; then
        "$banc" --parties bibliotheque >"$sorties/a$tour"
        "$autre/bench_tarvik" --parties bibliotheque >"$sorties/b$tour"
    else
        "$autre/bench_tarvik" --parties bibliotheque >"$sorties/b$tour"
        "$banc" --parties bibliotheque >"$sorties/a$tour"
    fi
done
DISPLAY=$ecran "$banc" --parties processus --comparer "$autre/arbre/tarvik" \
    "$autre/arbre/tarvik-envoyer" "${programmes[@]}" >"$sorties/p"
read -r occupe1 total1 < <(occupation)

echo "# colonnes : figure, cet arbre ($(git rev-parse --short HEAD 2>/dev/null || echo '?')), $comparee ($(git -C "$comparee" rev-parse --short HEAD 2>/dev/null || echo '?'))"
# (The load average climbs during the run with the threads the bench adds
# itself: machine_busy_pct_at_rest says how busy the others kept the machine.)
echo "# charge moyenne (1, 5, 15 min) au début : $charge0"
echo "# processeurs occupés pendant le passage, le banc compris : $(( 100 * (occupe1 - occupe0) / (total1 - total0) )) % sur $(nproc)"
# The median of the three runs of each, in the order of the first.
awk '
    FNR == 1 { fichier = substr(FILENAME, length(FILENAME) - 1, 1) }
    {
        n[fichier, $1]++
        v[fichier, $1, n[fichier, $1]] = $2
        if (fichier == "a" && !($1 in vu)) {
            vu[$1] = 1
            ordre[++noms] = $1
            note[$1] = ""
            for (i = 3; i <= NF; i++) note[$1] = note[$1] " " $i
        }
    }
    function mediane(f, nom,    k, m, t, i, j, x) {
        m = n[f, nom]
        for (i = 1; i <= m; i++) t[i] = v[f, nom, i]
        for (i = 2; i <= m; i++) for (j = i; j > 1 && t[j - 1] + 0 > t[j] + 0; j--) {
            x = t[j]; t[j] = t[j - 1]; t[j - 1] = x
        }
        return m ? t[int((m + 1) / 2)] : "-"
    }
    END { for (i = 1; i <= noms; i++) print ordre[i], mediane("a", ordre[i]), mediane("b", ordre[i]) note[ordre[i]] }
' "$sorties"/a1 "$sorties"/a2 "$sorties"/a3 "$sorties"/b1 "$sorties"/b2 "$sorties"/b3
cat "$sorties/p"
