# Running a sweep: every run's run.sh, the runs still to do, run here or
# through GNU parallel over ssh, and the Slurm job array.
import os
import shlex
import shutil
import signal
import subprocess

from . import local
from .plan import PROG, SweepError, describe, note
from .progress import Progress

SLURM_MAX_TASKS = 1000


class Interrupted(Exception):
    """The sweep was stopped by a signal; finished runs are kept."""


RUN_SCRIPT = """#!/bin/sh
# %(what)s, sweep %(dir)s.
# The sweep runs it into the folder out/ beside this script. sh run.sh NEW_DIR
# runs it again into NEW_DIR, a folder that must not exist yet, and changes
# nothing of the sweep.
if [ $# -ne 1 ]; then echo "usage: sh $0 NEW_DIR" >&2; exit 2; fi
mkdir -p "$(dirname "$1")" && mkdir "$1" && cd "$1" || exit 2
%(command)s >stdout.txt 2>stderr.txt
status=$?
echo $status >exit_status
exit $status
"""


def write_run_script(sweep, point, rep):
    """DIR/runs/RUN/run.sh: how the sweep runs it, and how to repeat it by hand. Returns
    the run's vorn command."""
    run_dir = sweep.run_dir(point, rep)
    os.makedirs(run_dir, exist_ok=True)
    argv = ([sweep.vorn] + sweep.plan["fixed"] + ["%s=%s" % nv for nv in point]
            + ["seed=%d" % sweep.seed(point, rep), "out_dir=."])
    what = "Replication %d of %s (seed %d)" % (rep, describe(point), sweep.seed(point, rep))
    with open(os.path.join(run_dir, "run.sh"), "w") as f:
        f.write(RUN_SCRIPT % {"what": what, "dir": sweep.dir,
                              "command": " ".join(map(shlex.quote, argv))})
    return argv


def finished(run_dir):
    try:
        with open(os.path.join(run_dir, "out", "exit_status")) as f:
            return f.read().strip() == "0"
    except OSError:
        return False


def pending_runs(sweep):
    """Writes the scripts of the runs not finished yet, clears their partial output and
    returns their names and vorn commands."""
    jobs = []
    for _, point, rep in sweep.runs():
        run_dir = sweep.run_dir(point, rep)
        if not finished(run_dir):
            argv = write_run_script(sweep, point, rep)
            shutil.rmtree(os.path.join(run_dir, "out"), ignore_errors=True)
            jobs.append((sweep.run_name(point, rep), argv))
    return jobs


def write_job_list(path, names):
    with open(path, "w") as f:
        f.writelines(name + "\n" for name in names)


def new_slurm_job_list(sweep, names):
    """A job list of its own for each Slurm script, never rewritten: a queued array
    reads the runs it was written for, whatever later sweeps write."""
    os.makedirs(sweep.path("slurm"), exist_ok=True)
    number = 1
    while True:
        path = sweep.path("slurm", "jobs-%d.txt" % number)
        try:
            with open(path, "x") as f:
                f.writelines(name + "\n" for name in names)
            return path
        except FileExistsError:
            number += 1


def parallel_command(args, sweep):
    if shutil.which("parallel") is None:
        raise SweepError("GNU parallel is not installed (Debian package 'parallel')")
    cmd = ["parallel", "--joblog", sweep.path("joblog"), "--sshloginfile",
           os.path.abspath(args.sshloginfile)]
    if args.jobs is not None:
        cmd += ["-j", args.jobs]
    runs = shlex.quote(sweep.path("runs"))
    return cmd + ["sh %s/{}/run.sh %s/{}/out" % (runs, runs), "::::", sweep.path("jobs.txt")]


def logged_counts(joblog):
    """Runs ended and failed so far, from GNU parallel's job log."""
    try:
        with open(joblog) as f:
            statuses = [line.split("\t")[6] for line in f.read().splitlines()[1:]]
    except (OSError, IndexError):  # a line half written
        return None
    return len(statuses), sum(status != "0" for status in statuses)


def run_parallel(args, sweep, progress):
    open(sweep.path("joblog"), "w").close()  # no count from the job log of a run before
    proc = subprocess.Popen(parallel_command(args, sweep), stdin=subprocess.DEVNULL)
    try:
        while True:
            try:
                status = proc.wait(timeout=1)
                break
            except subprocess.TimeoutExpired:
                progress.update(*(logged_counts(sweep.path("joblog")) or progress.counts()))
    except (KeyboardInterrupt, Interrupted):
        # parallel kills its running jobs on SIGINT; they are run again on resume.
        proc.send_signal(signal.SIGINT)
        try:
            proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
        raise Interrupted() from None
    if status == 255 or status < 0:  # parallel's status when stopped by a signal or an error
        raise SweepError("GNU parallel stopped before the end (exit status %d); finished runs "
                         "are kept: run the same command again to resume" % status, 1)


def run_all(args, sweep, width):
    """Runs what is still to do: here with vorn started directly, width at a time, or on
    the machines of --sshloginfile through GNU parallel."""
    jobs = pending_runs(sweep)
    write_job_list(sweep.path("jobs.txt"), [name for name, _ in jobs])
    total = len(sweep.runs())
    if len(jobs) < total:
        note("%s: %d of %d runs already done" % (sweep.dir, total - len(jobs), total))
    if not jobs:
        return
    progress = Progress(len(jobs))
    try:
        if args.sshloginfile:
            run_parallel(args, sweep, progress)
        else:
            local.run_here(sweep, jobs, width, progress)
    finally:
        progress.finish()


def write_slurm(args, sweep):
    names = [name for name, _ in pending_runs(sweep)]
    if args.jobs is not None and not args.jobs.isdigit():
        raise SweepError("--slurm needs -j as a whole number (array tasks at a time)")
    if not names:
        note("every run of %s is done; nothing to submit" % sweep.dir)
        return
    tasks = min(len(names), SLURM_MAX_TASKS)
    per_task = -(-len(names) // tasks)
    job_list = new_slurm_job_list(sweep, names)
    lines = [
        "#!/bin/bash",
        "# vorn sweep of %s: %d runs in %d array tasks." % (sweep.dir, len(names), tasks),
        "#SBATCH --job-name=vorn-sweep",
        "#SBATCH --array=1-%d%s" % (tasks, "%" + args.jobs if args.jobs else ""),
        "#SBATCH --output=%s" % sweep.path("slurm", "%A_%a.log"),
    ] + ["#SBATCH %s" % option for option in sweep.plan["sbatch"]] + [
        "set -u",
        "runs=%s" % shlex.quote(sweep.path("runs")),
        "status=0",
        "for run in $(sed -n \"$(( (SLURM_ARRAY_TASK_ID - 1) * %d + 1 )),"
        "$(( SLURM_ARRAY_TASK_ID * %d ))p\" %s); do"
        % (per_task, per_task, shlex.quote(job_list)),
        "  # A resubmitted array skips the runs that are done.",
        "  [ \"$(cat \"$runs/$run/out/exit_status\" 2>/dev/null)\" = 0 ] && continue",
        "  rm -rf \"$runs/$run/out\"",
        "  sh \"$runs/$run/run.sh\" \"$runs/$run/out\" || status=1",
        "done",
        "exit $status",
    ]
    script = sweep.path("sweep.slurm")
    with open(script, "w") as f:
        f.write("\n".join(lines) + "\n")
    os.chmod(script, 0o755)
    note("wrote %s; submit it with: sbatch %s" % (script, script))
    note("when the array is done, collect the results with: %s --collect -o %s"
         % (PROG, sweep.dir))
