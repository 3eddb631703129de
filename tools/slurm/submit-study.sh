#!/bin/bash
# Submits a study to a Slurm cluster: an array of TASKS jobs, each reading
# its share of LIST, and a job that gathers their parts into TABLE.csv once
# every share has ended. Run it on the login node, in the folder LIST's paths
# are relative to (not through sbatch: it submits itself for those jobs):
#
#   tools/slurm/submit-study.sh [--replace | --retry I[,J...]] [--] LIST TABLE.csv [TASKS [STUDY OPTIONS...]]
#
# TASKS is 10 by default, at most the cluster's MaxArraySize. The study
# options go to every share (--record, --units, --pictures DIR: the shares'
# pictures go into one folder), except --chart FILE.png, which the gathering
# draws for the whole study. The parts are kept in TABLE.csv.parts/; when
# that folder holds parts of an earlier run, --retry I,J re-runs those shares
# (the others' parts are kept) and gathers again, and --replace starts
# afresh. "--" ends the options, so that LIST may start with "-".
# QUILLMERE_BATCH names the program (quillmere-batch on the PATH by default);
# sbatch's own settings (partition, account, time) come from the #SBATCH lines
# below or from its SBATCH_* variables.
#SBATCH --job-name=quillmere-study
#SBATCH --cpus-per-task=2
#SBATCH --output=quillmere-study-%A_%a.out
set -euo pipefail

name=$(basename "$0")
step=${QUILLMERE_STUDY_STEP:-}
usage() {
    echo "usage: $name [--replace | --retry I[,J...]] [--] LIST TABLE.csv [TASKS [STUDY OPTIONS...]]" >&2
    exit 2
}
fail() {
    echo "$name: $*" >&2
    exit 2
}

# sbatch runs this file only for the steps it submits itself.
if [ -z "$step" ] && [ "${ENVIRONMENT:-}" = BATCH ]; then
    fail "this submits the study's jobs itself: run it on the login node, not through sbatch"
fi

replace=0 retry=""
while [ $# -gt 0 ]; do
    case $1 in
    --replace) replace=1 ;;
    --retry)
        [ $# -ge 2 ] || usage
        retry=$2
        shift
        ;;
    --retry=*) retry=${1#--retry=} ;;
    -h | --help) usage ;;
    --)
        shift
        break
        ;;
    -*) fail "unknown option $1 (a LIST that starts with - goes after --)" ;;
    *) break ;;
    esac
    shift
done
[ $# -ge 2 ] || usage
[ "$replace" -eq 0 ] || [ -z "$retry" ] || fail "--replace and --retry exclude each other"
list=$1
table=$2
tasks=${3:-10}
shift $(($# < 3 ? $# : 3))
# Relative names that start with "-" are no options to quillmere-batch.
case $list in -*) list=./$list ;; esac
case $table in -*) table=./$table ;; esac

# TASKS goes into arithmetic and job options: a whole number, nothing else.
[[ $tasks =~ ^[1-9][0-9]{0,6}$ ]] || fail "TASKS must be a whole number from 1: '$tasks'"

# The chart is the gathering's, the other options the shares'.
chart=() options=()
while [ $# -gt 0 ]; do
    case $1 in
    --chart)
        [ $# -ge 2 ] || fail "--chart needs FILE.png"
        chart=(--chart "$2")
        shift
        ;;
    --chart=*) chart=(--chart "${1#--chart=}") ;;
    *) options+=("$1") ;;
    esac
    shift
done

batch=${QUILLMERE_BATCH:-quillmere-batch}
parts="$table.parts"

case "${step:-submit}" in
submit)
    # Indices run from 0 to MaxArraySize - 1.
    largest=$(scontrol show config 2>/dev/null | sed -n 's/^MaxArraySize *= *\([0-9]*\).*/\1/p')
    if [ -n "$largest" ] && [ "$tasks" -gt "$largest" ]; then
        fail "$tasks tasks are more than this cluster's MaxArraySize of $largest"
    fi
    array="0-$((tasks - 1))"
    if [ -n "$retry" ]; then
        [[ $retry =~ ^[0-9]{1,7}(,[0-9]{1,7})*$ ]] || fail "--retry takes share numbers: '$retry'"
        IFS=, read -ra shares <<<"$retry"
        for share in "${shares[@]}"; do
            [ "$((10#$share))" -lt "$tasks" ] || fail "there is no share $share of $tasks (0 to $((tasks - 1)))"
            rm -f "$parts/part-$((10#$share)).csv"
        done
        array=$retry
    elif compgen -G "$parts/part-*.csv" >/dev/null; then
        [ "$replace" -eq 1 ] ||
            fail "$parts holds the parts of an earlier run: --retry I,J re-runs some of its shares, --replace starts afresh"
        rm -f "$parts"/part-*.csv
    fi
    mkdir -p "$parts"
    script=$(readlink -f "$0")
    job=$(QUILLMERE_STUDY_STEP=share sbatch --parsable --export=ALL --array="$array" \
        "$script" -- "$list" "$table" "$tasks" "${options[@]}")
    job=${job%%;*}
    # afterany: a share that ended badly leaves its part out, which the
    # gathering names.
    gather=$(QUILLMERE_STUDY_STEP=gather sbatch --parsable --export=ALL --cpus-per-task=1 \
        --dependency="afterany:$job" --job-name=quillmere-study-gather --output=quillmere-study-%j.out \
        "$script" -- "$list" "$table" "$tasks" "${chart[@]}")
    echo "study: shares in job $job, gathered by job ${gather%%;*} into $table"
    ;;
share)
    # The share is named, not taken from the array's size: a share run again
    # alone still gives its part of the whole study. Status 3 (a project gave
    # no figures) is in the part and in the table.
    share=${SLURM_ARRAY_TASK_ID:?the share step runs as a task of a Slurm array}
    status=0
    "$batch" study --task "$share" --of "$tasks" -o "$parts/part-$share.csv" --jobs "${SLURM_CPUS_PER_TASK:-1}" \
        "${options[@]}" -- "$list" || status=$?
    [ "$status" -eq 0 ] || [ "$status" -eq 3 ]
    ;;
gather)
    files=()
    for ((task = 0; task < tasks; ++task)); do
        files+=("$parts/part-$task.csv")
    done
    "$batch" study --gather "${files[@]}" -o "$table" "${chart[@]}"
    ;;
*)
    fail "QUILLMERE_STUDY_STEP is submit, share or gather"
    ;;
esac
