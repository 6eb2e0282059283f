# The command line of vorn-sweep: the folder's plan, the checks, the runs and
# the result files, in that order.
"""Run vorn over a grid of options, with independent, repeatable replications.

Arguments:
  OPTION=VALUE         a fixed option, passed verbatim to every run (commas
                       included: p=0.5,0.5,0.5 is one value, never swept)
  --sweep NAME=LIST    a swept option; LIST is a comma list of values and
                       ranges START:STOP[:STEP] (STOP included, STEP 1 by
                       default): --sweep M=5,10,20,50   --sweep M=10:50:10
  --value NAME=VALUE   one verbatim value of the swept option NAME; repeat it
                       for values that hold commas themselves:
                       --value p=0.5,0.5,0.5 --value p=0.3,0.3,0.3
The grid is every combination of the swept values (the first swept option
varies slowest); each combination is a point, run -r times. Every run gets
its own seed, derived from --seed, the point's option values and the
replication number: the same command with the same --seed gives the same
results.csv in any folder.

Layout of the output folder DIR:
  runs/RUN/run.sh     the run's command: sh run.sh NEW_DIR repeats the run
                      into the new folder NEW_DIR; RUN names the point's
                      option values and the replication (M=5_F=8-r2)
  runs/RUN/out/       the run's working folder and out_dir: stdout.txt,
                      stderr.txt, exit_status, lastopts.lst, the CSV files
  results.csv         one row per run: point, rep, seed, the swept options,
                      every column of network.csv (a column named like a
                      swept option is renamed net_NAME), run_dir
  summary.csv         one row per point: the swept options and, per metric,
                      METRIC_mean, METRIC_sd, METRIC_n and METRIC_ci95 (half
                      width of the 95% confidence interval, Student t);
                      results printed as -999.9 (not finite) are left out;
                      with --exact also METRIC_exact, the exact model's value
                      (empty at points outside the model's reach)
                      with --precision, last, reps_needed: the replications
                      after which the point met the target (empty if it
                      did not within --max-reps)
  sweep.json          the plan (fixed and swept options, replications, seed,
                      binary, metrics)
  jobs.txt, joblog    the last invocation's job list (run names) and its job
                      log in GNU parallel's format
  sweep.slurm         the last Slurm job array written (--slurm); it reads its
                      own job list slurm/jobs-K.txt, which is never rewritten

With --precision METRIC=X each point first runs -r replications, then -r
more at a time until METRIC_ci95 / |METRIC_mean| is at most X, or until it
has --max-reps (default 100). Which runs a point wants follows from its
finished runs alone, so a resumed sweep ends as an uninterrupted one would;
it grows by a tighter X or a larger --max-reps as well.

The same -o DIR again resumes an interrupted sweep, or grows it by more
replications (-r) or more values of a swept option: only runs without
results are run. Any other change of the plan is refused.
Relative paths in optfile, nodes_file, qos_p_file and qos_tau_file are made
absolute, since every run starts in its own folder.

Exit status: 0 all runs done; 1 some runs failed (see their stderr.txt) or
a run could not be started or GNU parallel stopped early; 2 usage error;
130 interrupted.

Progress goes to standard error: on a terminal one line kept up to date,
otherwise a line at most every 10 s and at least every 60 s while runs go on.

Examples:
  vorn-sweep -o sweeps/svm -r 5 --sweep M=5,10,20,50 --sweep F=8,16 R=3 runs=20000
  vorn-sweep -o sweeps/svm -r 10          # five more replications of every point
  vorn-sweep -o sweeps/svm --exact         # add the exact model's values to summary.csv
  vorn-sweep -o sweeps/dense -r 5 --sweep M=5:50:5 -j 8 --sshloginfile hosts
  vorn-sweep -o sweeps/big -r 5 --sweep M=5,10 --slurm --sbatch=--time=1:00:00
  vorn-sweep -o sweeps/big --collect       # after the Slurm array is done
  vorn-sweep -o sweeps/to1pc -r 4 --precision S=0.01 --max-reps 40 --sweep M=5,50 runs=5000
"""
import argparse
import json
import os
import shutil
import signal

from . import checks, collecting, exact, local, running, summaries
from .plan import (DEFAULT_MAX_REPS, PROG, Sweep, SweepError, describe, grown_plan, new_plan,
                   note, parse_target)
from .targets import Targets

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.realpath(__file__))))
DEFAULT_METRICS = "S,Ps,Pc,Pf,Pi,pktps"
PLAN_KEYS = {"fixed", "sweeps", "reps", "seed", "vorn"}


def find_vorn(path):
    if path is None:
        built = os.path.join(ROOT, "build", "vorn")
        path = built if os.access(built, os.X_OK) else shutil.which("vorn")
        if path is None:
            raise SweepError("no vorn binary in %s or on PATH; build it (./run.sh) or give "
                             "--vorn PATH" % built)
    resolved = path if os.sep in path else shutil.which(path)
    if resolved is None or not os.path.isfile(resolved) or not os.access(resolved, os.X_OK):
        raise SweepError("--vorn: no executable program at '%s'" % path)
    return os.path.abspath(resolved)


def read_plan(plan_file):
    if not os.path.exists(plan_file):
        return None
    try:
        with open(plan_file) as f:
            plan = json.load(f)
    except (OSError, ValueError) as error:
        raise SweepError("cannot read %s: %s" % (plan_file, error)) from None
    if not isinstance(plan, dict) or not PLAN_KEYS <= set(plan):
        raise SweepError("%s is not a plan of this vorn-sweep (made by an earlier one, without "
                         "seeds?); use another -o DIR" % plan_file)
    return plan


def metric_list(text):
    return [name for name in text.split(",") if name]


def prepare(args):
    """The folder's sweep, created or grown from the command line, and its metrics."""
    folder = os.path.abspath(args.out)
    plan_file = os.path.join(folder, "sweep.json")
    stored = read_plan(plan_file)
    plan = new_plan(args) if stored is None else grown_plan(args, stored, folder)
    vorn = find_vorn(args.vorn or (stored or {}).get("vorn"))
    if stored is not None and vorn != stored["vorn"]:
        raise SweepError("%s holds another sweep: --vorn %s there, --vorn %s here"
                         % (folder, stored["vorn"], vorn))
    for name, default in (("metrics", DEFAULT_METRICS), ("node_metrics", "")):
        given = getattr(args, name)
        plan[name] = given if given is not None else (stored or {}).get(name, default)
    if "precision" in plan:  # the target's metric is summarised like the others
        metric = parse_target(plan["precision"])[0]
        if metric not in metric_list(plan["metrics"]):
            plan["metrics"] = ",".join(metric_list(plan["metrics"]) + [metric])
    # A grown sweep keeps the #SBATCH lines and --exact given before.
    plan["sbatch"] = args.sbatch or (stored or {}).get("sbatch", [])
    plan["exact"] = args.exact or (stored or {}).get("exact", False)
    sweep = Sweep(folder, plan, vorn)
    sweep.check_seeds()
    checks.check_everything(sweep, metric_list(plan["metrics"]),
                            metric_list(plan["node_metrics"]))
    # Before any run, so that a model that fails on a point stops the sweep at once.
    sweep.exact = exact.exact_values(sweep, metric_list(plan["metrics"])) if plan["exact"] \
        else None
    os.makedirs(sweep.path("runs"), exist_ok=True)
    with open(plan_file, "w") as f:
        json.dump({**plan, "vorn": vorn}, f, indent=1)
        f.write("\n")
    return sweep


def run_to_targets(args, sweep, targets, width):
    """Rounds of runs until every point meets the target or has --max-reps; a round's
    failed runs are not run again in the same call."""
    tried = set()
    while True:
        targets.update()
        pending = {sweep.run_name(point, rep) for _, point, rep in sweep.runs()
                   if not running.finished(sweep.run_dir(point, rep))}
        if not pending or pending <= tried:
            return
        tried |= pending
        running.run_all(args, sweep, width)


def report_targets(sweep, needed):
    short = [point for point in sweep.points if needed[point] is None]
    if short:
        note("%d of %d points short of --precision %s after their replications (at most %d): "
             "%s" % (len(short), len(sweep.points), sweep.plan["precision"],
                     sweep.plan["max_reps"], "; ".join(map(describe, short[:5]))))


def collect(sweep, targets=None):
    metrics = metric_list(sweep.plan["metrics"])
    node_metrics = metric_list(sweep.plan["node_metrics"])
    needed = None if targets is None else targets.update()
    runs, missing = collecting.collect_runs(sweep, bool(node_metrics))
    results = collecting.write_results(sweep, runs)
    summary = summaries.write_summary(sweep, runs, metrics, node_metrics, sweep.exact, needed)
    if needed is not None and not missing:
        report_targets(sweep, needed)
    note("wrote %s (%d runs) and %s (%d points)" % (results, len(runs), summary,
                                                   len(sweep.points)))
    return 1 if missing else 0


class SweepEntry(argparse.Action):
    """Keeps --sweep and --value in the order given, so values keep their order."""

    def __call__(self, parser, namespace, values, option_string=None):
        entries = getattr(namespace, self.dest) or []
        entries.append(("value" if option_string == "--value" else "sweep", values))
        setattr(namespace, self.dest, entries)


def parse_args(argv):
    parser = argparse.ArgumentParser(prog=PROG, description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter,
                                     usage="%(prog)s -o DIR [options] [OPTION=VALUE ...]")
    add = parser.add_argument
    add("options", nargs="*", metavar="OPTION=VALUE",
        help="fixed vorn option, passed verbatim to every run")
    add("-s", "--sweep", dest="sweep_specs", action=SweepEntry, default=[],
        metavar="NAME=LIST", help="swept option with a list of values")
    add("--value", dest="sweep_specs", action=SweepEntry, default=[], metavar="NAME=VALUE",
        help="one verbatim value of a swept option")
    add("-r", "--reps", type=int,
        help="replications per point (default 3); with --precision, the first ones and the "
             "number added at a time")
    add("--precision", metavar="METRIC=X",
        help="add replications to each point until METRIC_ci95 / |METRIC_mean| is at most X "
             "(0 < X < 1) or the point has --max-reps")
    add("--max-reps", type=int, metavar="N",
        help="most replications of a point under --precision (default %d)" % DEFAULT_MAX_REPS)
    add("--seed", type=int, metavar="N",
        help="the sweep's seed, 1 to 4294967295 (default: drawn when the sweep is created)")
    add("-o", "--out", required=True, metavar="DIR", help="output folder")
    add("-j", "--jobs", metavar="N",
        help="runs at a time: N, +N or -N for N more or fewer than the cores, or N%% of "
             "them (default: one per core)")
    add("--sshloginfile", metavar="FILE",
        help="run on the machines listed in FILE (GNU parallel's --sshloginfile); DIR and "
             "the vorn binary must have the same path on every machine (shared file system)")
    add("--vorn", metavar="PATH",
        help="vorn binary (default: build/vorn of this repository, else vorn on PATH)")
    add("--metrics", metavar="LIST",
        help="network.csv columns summarised per point (default %s)" % DEFAULT_METRICS)
    add("--node-metrics", metavar="LIST",
        help="nodes.csv columns summarised per point: the mean over the stations of a run, "
             "and over the stations of every node group")
    add("--exact", action="store_true",
        help="add METRIC_exact, the exact model's value (vorn exact=1), to summary.csv for "
             "every point the model covers; kept for later runs of the same folder")
    add("--slurm", action="store_true",
        help="write DIR/sweep.slurm (a Slurm job array) instead of running")
    add("--sbatch", action="append", default=[], metavar="OPTION",
        help="extra #SBATCH line for --slurm, e.g. --sbatch=--time=2:00:00")
    add("--collect", action="store_true",
        help="start no runs; collect the results of runs done elsewhere")
    return parser.parse_intermixed_args(argv)


def stop_on_term(signum, frame):
    raise running.Interrupted()


def main(argv):
    args = parse_args(argv)
    signal.signal(signal.SIGTERM, stop_on_term)
    try:
        width = local.job_count(args.jobs or "100%")
        sweep = prepare(args)
        targets = Targets(sweep) if "precision" in sweep.plan else None
        if args.slurm:
            if targets is not None:
                targets.update()
                note("--precision: once this array is done, run --slurm again; it writes the "
                     "replications the points still want, until none does")
            running.write_slurm(args, sweep)
            return 0
        if not args.collect and targets is not None:
            run_to_targets(args, sweep, targets, width)
        elif not args.collect:
            running.run_all(args, sweep, width)
        return collect(sweep, targets)
    except SweepError as error:
        note(str(error))
        return error.status
    except (KeyboardInterrupt, running.Interrupted):
        note("interrupted; run the same command again to resume (finished runs are kept)")
        return 130
