# Tests of tools/vorn-sweep with the vorn binary of the build: checks before any
# run, seeded results and summaries, repeating a run, growing, resuming, Slurm.
import io
import json
import math
import os
import signal
import statistics
import subprocess
import tempfile
import time
import unittest

from toolsupport import SWEEP, VORN, read_csv, read_text, run_tool
from vornsweep import local, progress, running, summaries


class WorkedByHandTest(unittest.TestCase):
    def test_t_quantiles_and_summary_of_known_values(self):
        self.assertAlmostEqual(summaries.t_quantile(0.975, 2), 4.302652729911275, places=9)
        self.assertAlmostEqual(summaries.t_quantile(0.975, 30), 2.042272456301238, places=9)
        self.assertAlmostEqual(summaries.t_quantile(0.9, 1), math.tan(math.pi * 0.4), places=9)
        n, mean, sd, half = summaries.summarize([1.0, 2.0, 3.0, 4.0])
        self.assertEqual((n, mean), (4, 2.5))
        self.assertAlmostEqual(half, 3.182446305284263 * sd / 2.0)
        self.assertEqual(summaries.summarize([0.7]), (1, 0.7, None, None))

    def test_runs_at_a_time_and_progress_lines_off_a_terminal(self):
        cores = local.cores()
        self.assertEqual([local.job_count(text) for text in ("3", "+1", "-99", "150%")],
                         [3, cores + 1, 1, cores * 3 // 2])
        clock, out = [0.0], io.StringIO()
        shown = progress.Progress(4, out, lambda: clock[0])
        # A line at 12 s (10 s passed and runs ended), none at 30 s (nothing new, under
        # 60 s), one at 72 s (60 s without one), none at 75 s (under 10 s).
        for now, status in ((1, 0), (5, 1), (12, 0), (30, None), (72, None), (75, 0)):
            clock[0] = now
            shown.tick() if status is None else shown.count(status)
        self.assertEqual(out.getvalue().splitlines(),
                         ["vorn-sweep: 3 of 4 runs done, 1 failed, 0:00:12 elapsed, about "
                          "0:00:04 left", "vorn-sweep: 3 of 4 runs done, 1 failed, 0:01:12 "
                          "elapsed, about 0:00:24 left"])


class Folder(unittest.TestCase):
    """A temporary folder per test class; sweep() runs vorn-sweep into it."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.dir = cls.tmp.name

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def sweep(self, *args, status=0, out="sweep"):
        result = run_tool(SWEEP, "-o", out, "--vorn", VORN, *args, cwd=self.dir)
        self.assertEqual(result.returncode, status, result.stderr)
        return result.stderr

    def path(self, *parts):
        return os.path.join(self.dir, *parts)


class CheckedBeforeAnyRunTest(Folder):
    def test_every_mistake_is_one_line_and_nothing_runs(self):
        cases = {("M=5", "M=10"): "option M given twice",
                 ("--sweep", "M=5,10", "M=5"): "both fixed and swept",
                 ("--sweep", "M=5,10", "nodes_def=2,0,0,0,0"):
                     "--sweep M: the fixed option nodes_def overrides it",
                 ("out_dir=x",): "option out_dir is set by the sweep",
                 ("seed=4", "M=5"): "option seed is set by the sweep",
                 ("exact=1",): "option exact is set by the sweep: the runs simulate",
                 ("--sweep", "M=5,5"): "value '5' given twice",
                 ("--sweep", "M=20:5:5"): "range '20:5:5' holds no value",
                 ("--sweep", "M=,"): "--sweep M=, holds no value",
                 ("--sweep", "M=a:b"): "not a number",
                 ("--value", "=3"): "is not NAME=VALUE",
                 ("-r", "0", "M=5"): "-r/--reps must be at least 1",
                 ("-j", "0", "M=5"): "-j 0: accepted are a whole number of runs at a time",
                 ("--seed", "0", "M=5"): "--seed 0: accepted are whole numbers from 1 to",
                 ("Rr=3",): 'option Rr: vorn has no option "Rr" (did you mean "R"?)',
                 ("--sweep", "adoc=0,1"): '--sweep adoc: vorn has no option "adoc" (did you mean'
                                          ' "adhoc"?)',
                 ("--sweep", "M=5,10", "--metrics", "S,Pss"):
                     'point M=5: --metrics Pss: network.csv has no column "Pss" (did you mean '
                     '"Ps"?)',
                 ("M=5", "--metrics", "D_ms"): "D_ms\" (a column of nodes.csv: use "
                                               "--node-metrics D_ms)",
                 ("M=5", "--node-metrics", "Dms"): 'nodes.csv has no column "Dms" (did you mean'
                                                  ' "D_ms"?)',
                 ("M=5", "--node-metrics", "S"): "S is in both --metrics and --node-metrics",
                 ("--sweep", "F=8,32"): "point F=32: vorn refuses it (exit status 7): Error: "
                                        "(F*L <= 31 && L >= 1) not met."}
        for args, message in cases.items():
            stderr = self.sweep(*args, status=2)
            self.assertEqual(stderr.count("\n"), 1, stderr)
            self.assertIn(message, stderr)
        self.assertFalse(os.path.exists(self.path("sweep")))

    def test_lists_ranges_and_verbatim_values(self):
        self.sweep("--sweep", "M=5,10:20:5", "--sweep", "ts=1e-6:2e-6:0.5e-6", "--value",
                   "p=0.5,0.5,0.5", "--value", "p=0.2,0.3,0.4", "tau=1,1,1", "--slurm", out="grid")
        plan = json.loads(read_text(self.path("grid", "sweep.json")))
        self.assertEqual(plan["sweeps"], [["M", ["5", "10", "15", "20"]],
                                          ["ts", ["1e-06", "1.5e-06", "2e-06"]],
                                          ["p", ["0.5,0.5,0.5", "0.2,0.3,0.4"]]])
        script = read_text(self.path("grid", "runs", "M=10_p=0.2,0.3,0.4_ts=1e-06-r2", "run.sh"))
        self.assertIn(" tau=1,1,1 M=10 ts=1e-06 p=0.2,0.3,0.4 seed=", script)


class SeededSweepTest(Folder):
    """Two values of F, two replications, three stations in two node groups."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        with open(os.path.join(cls.dir, "groups.csv"), "w") as f:
            f.write("# N,A,R,Q,T\nN,A,R,Q,T\n1,0,0,0,0\n2,4,0.5,0,0\n")
        with open(os.path.join(cls.dir, "hosts"), "w") as f:
            f.write("2/:\n")  # ':' is GNU parallel's name of this machine
        cls.args = ["-r", "2", "--seed", "11", "--sweep", "F=8,16", "runs=300",
                    "nodes_file=groups.csv", "--node-metrics", "Ns,D_ms"]
        result = run_tool(SWEEP, "-o", "sweep", "--vorn", VORN, "--sshloginfile", "hosts",
                          *cls.args, cwd=cls.dir)
        assert result.returncode == 0, result.stderr
        cls.rows = read_csv(os.path.join(cls.dir, "sweep", "results.csv"))
        cls.summary = read_csv(os.path.join(cls.dir, "sweep", "summary.csv"))

    def out(self, row, name):
        return self.path("sweep", row["run_dir"], "out", name)

    def test_results_hold_each_run_with_its_own_seed(self):
        self.assertEqual([(r["point"], r["rep"], r["F"]) for r in self.rows],
                         [("1", "1", "8"), ("1", "2", "8"), ("2", "1", "16"), ("2", "2", "16")])
        self.assertEqual(len({r["seed"] for r in self.rows}), 4)
        for row in self.rows:
            self.assertIn("seed=%s\n" % row["seed"], read_text(self.out(row, "lastopts.lst")))
            self.assertIn("nodes_file=%s\n" % self.path("groups.csv"),
                          read_text(self.out(row, "lastopts.lst")))
            network = read_csv(self.out(row, "network.csv"))[0]
            self.assertEqual(network.pop("F"), row["net_F"])
            self.assertEqual({k: row[k] for k in network}, network)

    def test_summary_over_replications_stations_and_groups(self):
        t975 = summaries.t_quantile(0.975, 1)
        for point in self.summary:
            runs = [r for r in self.rows if r["point"] == point["point"]]
            nodes = [read_csv(self.out(r, "nodes.csv")) for r in runs]
            expected = {"S": [float(r["S"]) for r in runs],
                        "Ns": [statistics.mean(float(n["Ns"]) for n in ns) for ns in nodes],
                        "D_ms_g2": [statistics.mean(float(n["D_ms"]) for n in ns[1:])
                                    for ns in nodes]}
            for name, values in expected.items():
                sd = statistics.stdev(values)
                self.assertEqual(point[name + "_n"], "2")
                for stat, value in (("mean", statistics.mean(values)), ("sd", sd),
                                    ("ci95", t975 * sd / math.sqrt(2))):
                    self.assertTrue(math.isclose(float(point[name + "_" + stat]), value,
                                                 rel_tol=1e-9, abs_tol=1e-12), (name, stat))

    def test_run_sh_repeats_a_run_into_a_new_folder_only(self):
        row = self.rows[3]
        script = self.path("sweep", row["run_dir"], "run.sh")
        stored = sorted(os.listdir(self.path("sweep", row["run_dir"], "out")))
        before = {name: read_text(self.out(row, name)) for name in stored}
        repeat = subprocess.run(["sh", script, self.path("again")], capture_output=True, text=True)
        self.assertEqual(repeat.returncode, 0, repeat.stderr)
        for name in ("network.csv", "nodes.csv"):
            self.assertEqual(read_text(self.path("again", name)), before[name])
        refused = subprocess.run(["sh", script, self.path("again")], capture_output=True)
        self.assertEqual(refused.returncode, 2)
        self.assertEqual(sorted(os.listdir(self.path("sweep", row["run_dir"], "out"))), stored)
        self.assertEqual({name: read_text(self.out(row, name)) for name in stored}, before)
        self.assertIn("4 of 4 runs already done", self.sweep(*self.args))
        log = [line.split("\t") for line in read_text(self.path("sweep", "joblog")).splitlines()]
        log[2][6] = "2"  # GNU parallel's job log with one failed run
        with open(self.path("joblog"), "w") as f:
            f.write("".join("\t".join(row) + "\n" for row in log))
        self.assertEqual(running.logged_counts(self.path("joblog")), (4, 1))
        self.assertEqual(read_csv(self.path("sweep", "results.csv")), self.rows)


class GrowingSweepTest(Folder):
    def test_grown_sweep_runs_only_what_is_new_and_equals_a_fresh_one(self):
        self.sweep("-r", "2", "--seed", "5", "--sweep", "M=2,4", "R=3", "runs=200")
        first = self.path("sweep", "runs", "M=2-r1", "out", "network.csv")
        stamp = os.stat(first).st_mtime_ns
        grown = ["-r", "3", "--seed", "5", "--sweep", "M=2,3,4", "runs=200", "R=3"]
        self.assertIn("4 of 9 runs already done", self.sweep("-j", "1", *grown))
        log = [line.split("\t") for line in read_text(self.path("sweep", "joblog")).splitlines()]
        self.assertEqual([row[0] for row in log], ["Seq", "1", "2", "3", "4", "5"])
        starts, times = ([float(row[k]) for row in log[1:]] for k in (2, 3))
        # -j 1: one run after the other, so their times add up within the sweep's span.
        self.assertLessEqual(sum(times), starts[-1] + times[-1] - starts[0] + 0.005)
        self.assertEqual(os.stat(first).st_mtime_ns, stamp)
        self.sweep(*grown, out="fresh")
        for name in ("results.csv", "summary.csv"):
            self.assertEqual(read_text(self.path("sweep", name)),
                             read_text(self.path("fresh", name)))
        refusals = {("R=4", "runs=200", "--sweep", "M=2,3,4"): "R=3 there, R=4 here",
                    ("R=3", "--sweep", "M=2,3,4"): "runs=200 there, no runs here",
                    ("R=3", "runs=200", "--sweep", "M=2,4"): "--sweep M=2,3,4 there, --sweep "
                                                             "M=2,4 here",
                    ("R=3", "runs=200", "--sweep", "F=8"): "swept options M there, swept "
                                                           "options F here",
                    ("-r", "2"): "-r 3 there, -r 2 here",
                    ("--seed", "6"): "--seed 5 there, --seed 6 here"}
        for args, message in refusals.items():
            self.assertIn("%s holds another sweep: %s; a sweep grows only by replications or "
                          "swept values" % (self.path("sweep"), message),
                          self.sweep(*args, status=2))


class ExactTest(Folder):
    def test_exact_values_beside_the_statistics_where_the_model_reaches(self):
        stderr = self.sweep("-r", "2", "--sweep", "fsf_type=0,2", "M=5", "runs=300", "--exact",
                            "--metrics", "S,Ps,runs")
        summary = read_csv(self.path("sweep", "summary.csv"))
        self.assertEqual(list(summary[0])[2:9],
                         ["S_mean", "S_sd", "S_n", "S_ci95", "S_exact", "Ps_mean", "Ps_sd"])
        self.assertNotIn("runs_exact", summary[0])
        model = subprocess.run([VORN, "exact=1", "M=5", "stats=S,Ps", "debug=0"], text=True,
                               capture_output=True, cwd=self.dir).stdout
        self.assertEqual([float(v) for v in model.split(",") if v.strip()],
                         [float(summary[0][name]) for name in ("S_exact", "Ps_exact")])
        self.assertEqual((summary[1]["S_exact"], summary[1]["Ps_exact"]), ("", ""))
        self.assertEqual(stderr.count("exact model"), 2, stderr)
        self.assertIn("--exact: 1 of 2 points are outside the exact model's reach and get no "
                      "exact values (point fsf_type=2: exact=1 cannot model fsf_type=2", stderr)
        self.assertIn("--exact: the exact model does not determine runs; no runs_exact column",
                      stderr)
        self.sweep("--collect")  # --exact is kept with the plan
        self.assertEqual(read_csv(self.path("sweep", "summary.csv")), summary)

    def test_exact_values_in_a_sweep_to_a_target(self):
        self.sweep("-r", "2", "--max-reps", "4", "--precision", "S=0.5", "--exact", "M=5",
                   "--sweep", "runs=300", "--metrics", "S", out="target")
        summary = read_csv(self.path("target", "summary.csv"))
        self.assertEqual(list(summary[0])[2:], ["S_mean", "S_sd", "S_n", "S_ci95", "S_exact",
                                                "reps_needed"])
        self.assertEqual(summary[0]["reps_needed"], "2")


class TargetSweepTest(Folder):
    """Points of 200 and 5000 cycles to pktps within 0.6%, 2 replications at a time, 7 at
    most: the long runs get there, the short ones do not."""

    ARGS = ["-r", "2", "--seed", "7", "--precision", "pktps=0.006", "--sweep", "runs=200,5000",
            "--metrics", "Ps"]

    def test_replications_grow_until_the_target_or_the_limit(self):
        stderr = self.sweep(*self.ARGS, "--max-reps", "7")
        self.assertIn("1 of 2 points short of --precision pktps=0.006 after their replications "
                      "(at most 7): runs=200", stderr)
        summary = read_csv(self.path("sweep", "summary.csv"))
        self.assertEqual([(p["pktps_n"], p["reps_needed"]) for p in summary],
                         [("7", ""), ("4", "4")])
        self.assertEqual(list(summary[0])[-1], "reps_needed")
        rows = read_csv(self.path("sweep", "results.csv"))
        for point in summary:
            values = [float(r["pktps"]) for r in rows if r["point"] == point["point"]]
            met = [k for k in list(range(2, len(values), 2)) + [len(values)]
                   if summaries.summarize(values[:k])[3] <= 0.006 * statistics.mean(values[:k])]
            self.assertEqual(met[:1], [len(values)] if point["reps_needed"] else [])
        # Cut short at 4, then grown to 7, it ends as the sweep run at once.
        self.sweep(*self.ARGS, "--max-reps", "4", out="grown")
        self.assertIn("8 of 10 runs already done", self.sweep("--max-reps", "7", out="grown"))
        for name in ("results.csv", "summary.csv"):
            self.assertEqual(read_text(self.path("sweep", name)),
                             read_text(self.path("grown", name)))
        refusals = {("--precision", "pktps=0.01"): "--precision pktps=0.006 there, --precision "
                                                   "pktps=0.01",
                    ("--precision", "Ps=0.006"): "--precision pktps=0.006 there, --precision Ps=",
                    ("--max-reps", "6"): "--max-reps 7 there, --max-reps 6 here"}
        for args, message in refusals.items():
            self.assertIn(message, self.sweep(*args, status=2))
        for args, message in {("--max-reps", "5", "M=2"): "--max-reps 5 needs --precision",
                              ("--precision", "S=1", "M=2"): "--precision S=1: expected METRIC=X",
                              ("--precision", "S=0.1", "--max-reps", "1", "M=2"):
                                  "--max-reps 1 is below -r 3"}.items():
            self.assertIn(message, self.sweep(*args, status=2, out="refused"))


class ResumeTest(Folder):
    def test_failed_and_interrupted_runs_run_again(self):
        self.sweep("-r", "2", "--sweep", "M=2,3", "runs=200")
        failed = self.path("sweep", "runs", "M=3-r2", "out")
        with open(os.path.join(failed, "exit_status"), "w") as f:
            f.write("1\n")
        with open(os.path.join(failed, "stderr.txt"), "w") as f:
            f.write("Killed\n")
        stderr = self.sweep("--collect", status=1)
        self.assertIn("run M=3-r2 has no results (Killed); see %s/stderr.txt" % failed, stderr)
        self.assertEqual(len(read_csv(self.path("sweep", "results.csv"))), 3)
        self.assertIn("3 of 4 runs already done", self.sweep())
        self.assertEqual(len(read_csv(self.path("sweep", "results.csv"))), 4)
        args = [SWEEP, "-o", "long", "--vorn", VORN, "-r", "1", "M=2", "runs=1000000000"]
        proc = subprocess.Popen(args, cwd=self.dir, start_new_session=True, text=True,
                                stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
        deadline, runs = time.monotonic() + 30, []
        stdout = self.path("long", "runs", "base-r1", "out", "stdout.txt")
        while not runs:  # the run's vorn process, once the checks are over
            self.assertLess(time.monotonic(), deadline)
            time.sleep(0.05)
            if os.path.exists(stdout):
                with open("/proc/%d/task/%d/children" % (proc.pid, proc.pid)) as f:
                    runs = [int(pid) for pid in f.read().split()]
        os.kill(proc.pid, signal.SIGTERM)  # the sweep alone: it must end its runs itself
        _, stderr = proc.communicate(timeout=60)
        self.assertEqual(proc.returncode, 130, stderr)
        self.assertIn("interrupted; run the same command again to resume", stderr)
        self.assertEqual(len(runs), 1)
        self.assertRaises(ProcessLookupError, os.kill, runs[0], 0)

    def test_slurm_array_then_collect(self):
        self.sweep("-r", "2", "--sweep", "M=2,3", "runs=200", "--slurm", "-j", "2",
                   "--sbatch=--time=0:10:00", out="slurm")
        script = self.path("slurm", "sweep.slurm")
        self.assertIn("#SBATCH --array=1-4%2\n#SBATCH", read_text(script))
        self.assertIn("#SBATCH --time=0:10:00\n", read_text(script))
        first = read_text(script)
        first_list = read_text(self.path("slurm", "slurm", "jobs-1.txt"))
        # Growing writes a new script with a list of its own and keeps the #SBATCH lines.
        self.sweep("-r", "3", "--slurm", out="slurm")
        self.assertIn("#SBATCH --time=0:10:00\n", read_text(script))
        self.assertIn("slurm/jobs-2.txt", read_text(script))
        self.assertEqual(read_text(self.path("slurm", "slurm", "jobs-1.txt")), first_list)
        self.assertEqual(len(read_text(self.path("slurm", "slurm", "jobs-2.txt")).split()), 6)
        with open(script, "w") as f:
            f.write(first)  # the array queued before the sweep grew
        for task in range(1, 5):  # what the array's tasks would do, one after the other
            env = dict(os.environ, SLURM_ARRAY_TASK_ID=str(task))
            self.assertEqual(subprocess.run(["bash", script], env=env).returncode, 0)
        self.assertEqual(self.sweep("--collect", out="slurm", status=1).count("has no results"), 2)
        self.assertEqual(len(read_csv(self.path("slurm", "results.csv"))), 4)


if __name__ == "__main__":
    unittest.main()
