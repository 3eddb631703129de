#!/bin/bash
# tools/slurm/submit-study.sh on a real one-node Slurm cluster started here:
# its three shares and the gathering job give the table of a --jobs 2 run
# byte for byte, and so does one share run again alone; the script given to
# sbatch itself fails with one line. The daemons run in the foreground under this script, with their
# keys, state, spool and logs in a temporary folder, and are stopped by their
# process ids. A cluster that does not come up fails the test with the
# daemons' logs.
#   slurm-cluster.sh BATCH SAMPLEGEN SCRIPT WORK
set -eu
batch=$(readlink -f "$1") samplegen=$(readlink -f "$2") script=$(readlink -f "$3") work=$4

for program in munged mungekey slurmctld slurmd sbatch sinfo squeue; do
    command -v "$program" >/dev/null || PATH="$PATH:/usr/sbin"
    command -v "$program" >/dev/null || {
        echo "$program is missing: tools/scripts/install-deps.sh installs munge and Slurm" >&2
        exit 1
    }
done

# A short folder of its own: the munge socket's path must fit a socket address.
cluster=$(mktemp -d /tmp/quillmere-slurm.XXXXXX)
pids=()
show_logs() {
    for log in "$cluster"/*.log "$work"/quillmere-study-*.out; do
        [ -f "$log" ] || continue
        echo "==== $log"
        tail -n 60 "$log"
    done
}
stop_cluster() {
    local status=$?
    [ "$status" -eq 0 ] || show_logs
    for ((i = ${#pids[@]} - 1; i >= 0; --i)); do
        kill "${pids[$i]}" 2>/dev/null || true
        for _ in $(seq 50); do
            running "${pids[$i]}" || break
            sleep 0.1
        done
        kill -9 "${pids[$i]}" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$cluster"
    exit "$status"
}
trap stop_cluster EXIT
fail() {
    echo "slurm-cluster: $*" >&2
    exit 1
}
running() { # pid: alive and not a zombie
    [ -e "/proc/$1" ] && ! grep -q '^State:.*Z' "/proc/$1/status" 2>/dev/null
}

# Two neighbouring ports that nothing listens on.
listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
port=0
for _ in $(seq 50); do
    candidate=$((20000 + RANDOM % 40000))
    if ! listening "$candidate" && ! listening $((candidate + 1)); then
        port=$candidate
        break
    fi
done
[ "$port" -ne 0 ] || fail "no free port pair found"

user=$(id -un)
host=$(hostname -s)
mungekey --create --keyfile="$cluster/munge.key"
munged --foreground --force --key-file="$cluster/munge.key" --socket="$cluster/munge.socket" \
    --pid-file="$cluster/munged.pid" --seed-file="$cluster/munged.seed" >"$cluster/munged.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [ -S "$cluster/munge.socket" ] && break
    running "${pids[0]}" || fail "munged ended"
    sleep 0.1
done

mkdir "$cluster/state" "$cluster/spool"
# config_overrides: the node counts as the two CPUs the shares ask for
# whatever the machine has.
cat >"$cluster/slurm.conf" <<EOF
ClusterName=quillmere
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$port
SlurmdPort=$((port + 1))
SlurmUser=$user
SlurmdUser=$user
AuthType=auth/munge
AuthInfo=socket=$cluster/munge.socket
CredType=cred/munge
StateSaveLocation=$cluster/state
SlurmdSpoolDir=$cluster/spool
SlurmctldPidFile=$cluster/slurmctld.pid
SlurmdPidFile=$cluster/slurmd.pid
SlurmctldLogFile=$cluster/slurmctld.log
SlurmdLogFile=$cluster/slurmd.log
SlurmdParameters=config_overrides
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
MpiDefault=none
SwitchType=switch/none
ReturnToService=2
SchedulerType=sched/backfill
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
NodeName=$host NodeAddr=127.0.0.1 CPUs=2 RealMemory=1000 State=UNKNOWN
PartitionName=study Nodes=ALL Default=YES MaxTime=INFINITE State=UP
EOF
# slurmd sets up a cgroup plugin even when nothing uses it: the version 1
# interface on an empty mount point never touches the machine's cgroups.
mkdir "$cluster/cgroup"
printf 'CgroupPlugin=cgroup/v1\nCgroupMountpoint=%s\nCgroupAutomount=no\n' "$cluster/cgroup" >"$cluster/cgroup.conf"
export SLURM_CONF=$cluster/slurm.conf
slurmctld -D -i -f "$SLURM_CONF" >/dev/null 2>&1 &
pids+=($!)
slurmd -D -f "$SLURM_CONF" -N "$host" >/dev/null 2>&1 &
pids+=($!)

state=""
for _ in $(seq 120); do
    state=$(sinfo -h -N -o %t 2>/dev/null || true)
    [ "$state" = idle ] && break
    running "${pids[1]}" || fail "slurmctld ended"
    running "${pids[2]}" || fail "slurmd ended"
    sleep 0.5
done
[ "$state" = idle ] || fail "the node is not idle after 60 s (sinfo: '${state}')"

# Six projects, the third of them with a record cut short.
rm -rf "$work"
mkdir -p "$work"
cd "$work"
for name in p2 p3 broken p4 p5 p6; do
    records=${name#p}
    [ "$name" = broken ] && records=3
    "$samplegen" cup "$name" --cells 4 3 --records "$records" >/dev/null
done
truncate -s 10 broken/cup.002
printf 'p2/cup.tfc\np3/cup.tfc\n# cut short\nbroken/cup.tfc\n\np4/cup.tfc\np5/cup.tfc\np6/cup.tfc\n' >list.txt
status=0
"$batch" study list.txt -o local.csv --jobs 2 --units us || status=$?
[ "$status" -eq 3 ] || fail "the local study ended with $status, not 3"

# Waits until no job is left.
wait_for_jobs() {
    local queue="not read"
    for _ in $(seq 360); do
        queue=$(squeue -h 2>&1) && [ -z "$queue" ] && return
        running "${pids[1]}" || fail "slurmctld ended"
        sleep 0.5
    done
    fail "the jobs have not ended after 180 s: $queue"
}

QUILLMERE_BATCH="$batch" "$script" list.txt cluster.csv 3 --units us
wait_for_jobs
[ -f cluster.csv ] || fail "the jobs ended without a table"
cmp local.csv cluster.csv
[ "$(ls cluster.csv.parts)" = "$(printf 'part-0.csv\npart-1.csv\npart-2.csv')" ] || fail "the parts: $(ls cluster.csv.parts)"
# The shares ran under Slurm, each as a task of the array.
[ "$(ls quillmere-study-*_[0-2].out | wc -l)" -eq 3 ] || fail "the shares' outputs: $(ls)"

# Share 1 again, alone in its array: still part 1 of 3, and the table again.
rm cluster.csv
QUILLMERE_BATCH="$batch" "$script" --retry 1 list.txt cluster.csv 3 --units us
wait_for_jobs
head -1 cluster.csv.parts/part-1.csv | grep -q "part 1 of 3" || fail "share 1 again: $(head -1 cluster.csv.parts/part-1.csv)"
cmp local.csv cluster.csv

# Given to sbatch itself, the script says what it is and submits nothing.
job=$(sbatch --parsable "$script" list.txt direct.csv 3)
wait_for_jobs
grep -q "run it on the login node, not through sbatch" quillmere-study-"${job%%;*}"_*.out ||
    fail "run through sbatch: $(cat quillmere-study-"${job%%;*}"_*.out)"
[ ! -e direct.csv.parts ] || fail "run through sbatch, it submitted a study"
echo "slurm-cluster: the three shares gathered give the local table, share 1 alone again too"
