#!/bin/sh
# The TEI importer on made-up editions of 2,000, 5,000 and 20,000 letters
# (about 8 KB of TEI each): its speed in MB of TEI a second, and its peak
# memory, which must not grow with the edition.
#
#   bench/bench_tei.sh BIN_DIR WORK_DIR [LETTERS...]
#
# BIN_DIR holds folium-gentei and folium-mktitle (a release build); the
# editions and titles are written under WORK_DIR.
set -eu
bin=$1
work=$2
shift 2
[ $# -gt 0 ] || set -- 2000 5000 20000
mkdir -p "$work"
for n in "$@"; do
    edition="$work/tei-$n"
    [ -d "$edition" ] || "$bin/folium-gentei" "$edition" "$n" > /dev/null
    rm -f "$work/tei-$n.m14" "$work/tei-$n.mdb"
    # One core: the figure the goal is set for.
    taskset -c 0 "$bin/folium-mktitle" --tei "$edition" -o "$work/tei-$n.m14" > "$work/tei-$n.log"
    speed=$(sed -n 's/.* (\([0-9.]*\) MB\/s), peak memory \([0-9.]*\) MB/\1 \2/p' "$work/tei-$n.log")
    printf '%6d letters: %s MB/s, peak memory %s MB\n' "$n" "${speed% *}" "${speed#* }"
done
