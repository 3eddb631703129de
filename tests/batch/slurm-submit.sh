#!/bin/bash
# tools/slurm/submit-study.sh's checks, with sbatch and scontrol stood in for
# by scripts that note what they are asked: TASKS and the shares to re-run
# are whole numbers (a hostile value runs nothing) within MaxArraySize, a run
# through sbatch itself fails with one line, earlier parts stay unless asked,
# the shares name their share, the chart goes to the gathering, and a LIST
# named like an option is a file. The shares and the gathering then run here
# with the real program.
#   slurm-submit.sh BATCH SAMPLEGEN SCRIPT WORK
set -eu
batch=$(readlink -f "$1") samplegen=$(readlink -f "$2") script=$(readlink -f "$3") work=$4

rm -rf "$work"
mkdir -p "$work/bin"
cd "$work"
fail() {
    echo "slurm-submit: $*" >&2
    exit 1
}
cat >bin/sbatch <<'END'
#!/bin/bash
# Notes the step and the arguments, one per line, and answers a job id.
{ echo "== ${QUILLMERE_STUDY_STEP:-}"; printf '%s\n' "$@"; } >>"$SBATCH_LOG"
echo 100
END
cat >bin/scontrol <<'END'
#!/bin/bash
[ "$*" = "show config" ] && printf 'MaxArraySize            = 4\nMaxJobCount             = 10000\n'
END
chmod +x bin/sbatch bin/scontrol
export PATH="$work/bin:$PATH" SBATCH_LOG="$work/sbatch.log" QUILLMERE_BATCH="$batch"
unset QUILLMERE_STUDY_STEP ENVIRONMENT SLURM_ARRAY_TASK_ID SLURM_ARRAY_TASK_COUNT

# refused CODE TEXT ARGUMENTS...: status 2, TEXT on stderr and nothing submitted.
refused() {
    local text=$1 status=0
    shift
    : >"$SBATCH_LOG"
    "$script" "$@" 2>err.txt || status=$?
    [ "$status" -eq 2 ] || fail "$* ended with $status, not 2"
    grep -qF -- "$text" err.txt || fail "$*: '$(cat err.txt)' does not say '$text'"
    [ ! -s "$SBATCH_LOG" ] || fail "$*: submitted $(cat "$SBATCH_LOG")"
}

for name in p1 p2 p3; do
    "$samplegen" cup "$name" --cells 4 3 --records 2 >/dev/null
done
printf 'p1/cup.tfc\np2/cup.tfc\np3/cup.tfc\n' >-list.txt
cp -- -list.txt --help

refused "TASKS must be a whole number" -- -list.txt t.csv 'SECONDS[$(touch pwned)]'
[ ! -e pwned ] || fail "a hostile TASKS ran a command"
refused "TASKS must be a whole number" -- -list.txt t.csv 0
refused "TASKS must be a whole number" -- -list.txt t.csv 3x
refused "more than this cluster's MaxArraySize of 4" -- -list.txt t.csv 5
ENVIRONMENT=BATCH SLURM_JOB_ID=7 refused "run it on the login node, not through sbatch" -- -list.txt t.csv 3
refused "unknown option -list.txt" -list.txt t.csv 3
refused "--retry takes share numbers" --retry '1;x' -- -list.txt t.csv 3
refused "there is no share 3 of 3" --retry 3 -- -list.txt t.csv 3

# A list named like an option, after "--"; the chart for the gathering only.
: >"$SBATCH_LOG"
"$script" -- --help t.csv 3 --units us --chart c.png >/dev/null
expected="== share
--parsable
--export=ALL
--array=0-2
$script
--
./--help
t.csv
3
--units
us
== gather
--parsable
--export=ALL
--cpus-per-task=1
--dependency=afterany:100
--job-name=quillmere-study-gather
--output=quillmere-study-%j.out
$script
--
./--help
t.csv
3
--chart
c.png"
[ "$(cat "$SBATCH_LOG")" = "$expected" ] || fail "submitted: $(cat "$SBATCH_LOG")"

# The steps with the real program: share 1 run again alone (an array of one)
# is still part 1 of 3 and gathers with the others.
for task in 0 2 1; do
    QUILLMERE_STUDY_STEP=share SLURM_ARRAY_TASK_ID=$task SLURM_ARRAY_TASK_COUNT=1 SLURM_ARRAY_TASK_MIN=$task \
        "$script" -- --help t.csv 3
done
head -1 t.csv.parts/part-1.csv | grep -q "part 1 of 3" || fail "share 1: $(head -1 t.csv.parts/part-1.csv)"
QUILLMERE_STUDY_STEP=gather "$script" -- --help t.csv 3
"$batch" study -o whole.csv -- --help
cmp t.csv whole.csv || fail "the gathered table differs from the whole study's"

# Earlier parts stay unless asked: a new run is refused, --retry re-runs the
# shares named and keeps the others, --replace starts afresh.
refused "holds the parts of an earlier run" -- -list.txt t.csv 3
[ -f t.csv.parts/part-0.csv ] || fail "a refused run removed the parts"
: >"$SBATCH_LOG"
"$script" --retry 1 -- -list.txt t.csv 3 >/dev/null
grep -qx -- "--array=1" "$SBATCH_LOG" || fail "--retry 1 submitted $(cat "$SBATCH_LOG")"
[ -f t.csv.parts/part-0.csv ] && [ -f t.csv.parts/part-2.csv ] && [ ! -e t.csv.parts/part-1.csv ] ||
    fail "--retry 1 left $(ls t.csv.parts)"
"$script" --replace -- -list.txt t.csv 3 >/dev/null
[ -z "$(ls t.csv.parts)" ] || fail "--replace left $(ls t.csv.parts)"
echo "slurm-submit: all checks passed"
