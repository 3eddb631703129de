#!/bin/bash
# tools/slurm/study.sbatch under a stand-in sbatch: its three shares gathered
# give the table of a --jobs 2 run byte for byte.
#   slurm-script.sh BATCH SAMPLEGEN SCRIPT WORK
set -eu
batch=$1 samplegen=$2 script=$3 work=$4
fake=$(cd "$(dirname "$0")" && pwd)/fake-slurm
rm -rf "$work"
mkdir -p "$work"
cd "$work"
for records in 2 3 4 5; do
    "$samplegen" cup "p$records" --cells 4 3 --records "$records" >/dev/null
done
mkdir broken && echo "not a project" >broken/cup.tfc
printf 'p2/cup.tfc\n# a comment\np3/cup.tfc\nbroken/cup.tfc\n\np4/cup.tfc\np5/cup.tfc\nmissing.tfc\n' >list.txt
status=0
"$batch" study list.txt -o local.csv --jobs 2 --record 2 || status=$?
[ "$status" -eq 3 ]
PATH="$fake:$PATH" QUILLMERE_BATCH="$batch" "$script" list.txt cluster.csv 3 --record 2
cmp local.csv cluster.csv
[ "$(ls cluster.csv.parts)" = "$(printf 'part-0.csv\npart-1.csv\npart-2.csv')" ]
