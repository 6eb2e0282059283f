# Tests of tools/vorn-sweep: statistics, command line, a small sweep, resume,
# repeated random streams, failed runs and the Slurm script.
import json
import math
import os
import signal
import statistics
import subprocess
import tempfile
import time
import unittest

from toolsupport import (STANDIN, SWEEP, load_script, read_csv, read_network, read_text,
                         run_tool, simulator)

sweep = load_script(SWEEP, "vorn_sweep")
T975_DF2 = 4.302652729749464  # Student t 97.5% quantile, 2 degrees of freedom, from tables


class StudentTTest(unittest.TestCase):
    def test_quantiles_match_tables(self):
        table = {1: 12.706204736174698, 2: T975_DF2, 30: 2.0422724563012373,
                 1000: 1.9623390808264078}
        for df, expected in table.items():
            self.assertAlmostEqual(sweep.t_quantile(0.975, df), expected, places=9, msg=df)
        self.assertAlmostEqual(sweep.t_quantile(0.9, 1), math.tan(math.pi * 0.4), places=9)
        self.assertAlmostEqual(sweep.t_quantile(0.025, 7), -sweep.t_quantile(0.975, 7))

    def test_summary_of_known_values(self):
        n, mean, sd, half = sweep.summarize([1.0, 2.0, 3.0, 4.0])
        self.assertEqual((n, mean), (4, 2.5))
        self.assertAlmostEqual(sd, math.sqrt(5.0 / 3.0))
        self.assertAlmostEqual(half, 3.182446305284263 * math.sqrt(5.0 / 3.0) / 2.0)
        self.assertEqual(sweep.summarize([0.7]), (1, 0.7, None, None))
        self.assertEqual(sweep.summarize([]), (0, None, None, None))


class CommandLineTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.out = os.path.join(self.tmp.name, "sweep")

    def tearDown(self):
        self.tmp.cleanup()

    def slurm_plan(self, *args):
        result = run_tool(SWEEP, "-o", self.out, "--vorn", STANDIN, "--slurm", *args)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(self.out, "sweep.json")) as f:
            return json.load(f)

    def test_lists_ranges_and_verbatim_values(self):
        plan = self.slurm_plan("--sweep", "M=5,10:20:5", "--sweep", "ts=1e-6:2e-6:0.5e-6",
                               "--value", "p=0.5,0.5,0.5", "--value", "p=0.2,0.3,0.4",
                               "tau=1,1,1", "-r", "2")
        self.assertEqual(plan["sweeps"], [["M", ["5", "10", "15", "20"]],
                                          ["ts", ["1e-06", "1.5e-06", "2e-06"]],
                                          ["p", ["0.5,0.5,0.5", "0.2,0.3,0.4"]]])
        self.assertEqual(plan["fixed"], ["tau=1,1,1"])
        jobs = read_text(os.path.join(self.out, "jobs.txt")).splitlines()
        self.assertEqual(len(jobs), 4 * 3 * 2 * 2)
        self.assertEqual(jobs[:3], ["p001-r01", "p002-r01", "p003-r01"])  # replications apart
        script = read_text(os.path.join(self.out, "runs", "p002-r01", "run.sh"))
        self.assertIn(" tau=1,1,1 M=5 ts=1e-06 p=0.2,0.3,0.4 out_dir=out >stdout.txt", script)

    def test_rejected_command_lines(self):
        cases = {("M=5", "M=10"): "option M given twice",
                 ("--sweep", "M=5,10", "M=5"): "both fixed and swept",
                 ("out_dir=x",): "out_dir is set by the sweep",
                 ("--sweep", "M=5,5"): "value '5' given twice",
                 ("--sweep", "M=20:5:5"): "holds no value",
                 ("--sweep", "M=a:b"): "not a number",
                 ("--value", "=3"): "is not NAME=VALUE",
                 ("-r", "0", "M=5"): "--reps must be at least 1"}
        for args, message in cases.items():
            result = run_tool(SWEEP, "-o", self.out, "--vorn", STANDIN, *args)
            self.assertEqual(result.returncode, 2, args)
            self.assertEqual(result.stderr.count("\n"), 1, result.stderr)
            self.assertIn(message, result.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.out, "runs")))

    def test_missing_binary_and_relative_paths(self):
        result = run_tool(SWEEP, "-o", self.out, "--vorn", "/nonexistent/vorn", "M=5")
        self.assertEqual(result.returncode, 2)
        self.assertIn("--vorn: no executable program at '/nonexistent/vorn'", result.stderr)
        plan = self.slurm_plan("optfile=opts.txt", "--value", "nodes_file=groups.csv")
        self.assertEqual(plan["fixed"], ["optfile=" + os.path.abspath("opts.txt")])
        self.assertEqual(plan["sweeps"], [["nodes_file", [os.path.abspath("groups.csv")]]])


class SmallSweepTest(unittest.TestCase):
    """Two values of M, three replications each, of the simulator under test."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.out = os.path.join(cls.tmp.name, "sweep")
        cls.args = ["-o", cls.out, "--vorn", simulator(), "-r", "3", "-j", "2",
                    "--sweep", "M=5,20", "R=3", "runs=2000", "p=0.5,0.5,0.5"]
        cls.result = run_tool(SWEEP, *cls.args)
        cls.rows = read_csv(os.path.join(cls.out, "results.csv"))
        cls.summary = read_csv(os.path.join(cls.out, "summary.csv"))

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_results_hold_every_network_column_of_every_run(self):
        self.assertEqual(self.result.returncode, 0, self.result.stderr)
        self.assertEqual([(r["point"], r["rep"], r["M"]) for r in self.rows],
                         [(p, r, m) for p, m in (("1", "5"), ("2", "20")) for r in "123"])
        for row in self.rows:
            network = read_network(os.path.join(self.out, row["run_dir"], "out", "network.csv"))
            self.assertEqual(len(network), 52)
            self.assertEqual(network.pop("M"), row["net_M"])
            for name, value in network.items():
                self.assertEqual(row[name], value, name)

    def test_summary_matches_a_hand_computation(self):
        self.assertEqual([(s["point"], s["M"]) for s in self.summary], [("1", "5"), ("2", "20")])
        for point in self.summary:
            for metric in ("S", "Ps", "Pc", "Pf", "Pi", "pktps"):
                values = [float(r[metric]) for r in self.rows if r["point"] == point["point"]]
                sd = statistics.stdev(values)
                expected = {"mean": statistics.mean(values), "sd": sd,
                            "ci95": T975_DF2 * sd / math.sqrt(3)}
                self.assertEqual(point[metric + "_n"], "3")
                for stat, value in expected.items():  # the file holds 10 significant digits
                    self.assertTrue(math.isclose(float(point[metric + "_" + stat]), value,
                                                 rel_tol=1e-9, abs_tol=1e-15), (metric, stat))

    def test_finished_sweep_runs_nothing_again(self):
        log = os.path.join(self.out, "joblog")
        before = read_text(log)
        again = run_tool(SWEEP, *self.args)
        self.assertEqual(again.returncode, 0, again.stderr)
        self.assertIn("6 of 6 runs already done", again.stderr)
        self.assertEqual(read_text(log), before)

    def test_other_plan_in_the_same_folder_is_refused(self):
        other = run_tool(SWEEP, "-o", self.out, "--vorn", simulator(), "--sweep", "M=5,30")
        self.assertEqual(other.returncode, 2)
        self.assertIn("holds a different sweep", other.stderr)


class StandinSweepTest(unittest.TestCase):
    """Behaviour that needs a program the test can steer: the stand-in."""

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.out = os.path.join(self.tmp.name, "sweep")
        self.log = os.path.join(self.tmp.name, "invocations")

    def tearDown(self):
        self.tmp.cleanup()

    def sweep(self, *args):
        return run_tool(SWEEP, "-o", self.out, "--vorn", STANDIN, "-r", "3", "--sweep", "M=5,20",
                        "runs=1000", *args)

    def test_interrupted_sweep_resumes_without_rerunning_finished_runs(self):
        gate = os.path.join(self.tmp.name, "gate")
        open(gate, "w").close()
        args = [SWEEP, "-o", self.out, "--vorn", STANDIN, "-r", "3", "-j", "1", "--sweep",
                "M=5,20", "runs=1000", "standin_log=" + self.log, "standin_gate=" + gate,
                "standin_gate_after=2", "standin_counter=" + os.path.join(self.tmp.name, "n")]
        first = subprocess.Popen(args, start_new_session=True, text=True,
                                 stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
        deadline = time.monotonic() + 60
        while self.invocations().count("\n") < 3 and time.monotonic() < deadline:
            time.sleep(0.05)  # the third run waits at the gate
        os.killpg(first.pid, signal.SIGINT)
        _, stderr = first.communicate(timeout=60)
        self.assertEqual(first.returncode, 130, stderr)
        self.assertIn("interrupted; run the same command again to resume", stderr)
        finished = read_text(os.path.join(self.out, "joblog")).splitlines()[1:]
        self.assertEqual(len(finished), 2)
        os.remove(gate)
        before = self.invocations().splitlines()
        second = run_tool(*args)
        self.assertEqual(second.returncode, 0, second.stderr)
        self.assertIn("resuming %s: 2 of 6 runs already done" % self.out, second.stderr)
        rerun = self.invocations().splitlines()[len(before):]
        every_run = {os.path.join(self.out, "runs", "p%03d-r%02d" % (p, r))
                     for p in (1, 2) for r in (1, 2, 3)}
        self.assertEqual(sorted(rerun), sorted(every_run - set(before[:2])))
        self.assertEqual(len(read_csv(os.path.join(self.out, "results.csv"))), 6)

    def invocations(self):
        return read_text(self.log) if os.path.exists(self.log) else ""

    def test_repeated_streams_are_run_again(self):
        counter = os.path.join(self.tmp.name, "n")
        result = self.sweep("standin_counter=" + counter, "standin_fixed_runs=6")
        self.assertEqual(result.returncode, 0, result.stderr)
        for point, m in ((1, 5), (2, 20)):
            for rep in (2, 3):
                self.assertIn("point %d (M=%d): replication %d repeats the results of "
                              "replication 1; running it again in %s/runs/p%03d-r%02d-a1"
                              % (point, m, rep, self.out, point, rep), result.stderr)
        self.assertNotIn("still repeats", result.stderr)
        rows = read_csv(os.path.join(self.out, "results.csv"))
        self.assertEqual([r["run_dir"][-3:] for r in rows], ["r01", "-a1", "-a1"] * 2)
        nodes = {read_text(os.path.join(self.out, r["run_dir"], "out", "nodes.csv"))
                 for r in rows}
        self.assertEqual(len(nodes), 6)

    def test_deterministic_point_is_kept_after_the_reruns(self):
        result = self.sweep("standin_seed=11", "--max-reruns", "1")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr.count("running it again"), 4)
        self.assertIn("point 2 (M=20): replication 3 still repeats replication 1 after 1 re-runs;"
                      " the point looks deterministic, results kept", result.stderr)
        summary = read_csv(os.path.join(self.out, "summary.csv"))
        self.assertEqual([(s["S_n"], float(s["S_sd"])) for s in summary], [("3", 0.0)] * 2)

    def test_failed_runs_are_reported_and_left_out(self):
        result = run_tool(SWEEP, "-o", self.out, "--vorn", STANDIN, "-r", "2", "--sweep",
                          "F=8,32", "runs=500")
        self.assertEqual(result.returncode, 1)
        self.assertIn("run p002-r01 has no results (Error: (F*L <= 31 && L >= 1) not met.); see "
                      + os.path.join(self.out, "runs", "p002-r01", "stderr.txt"), result.stderr)
        self.assertEqual([r["F"] for r in read_csv(os.path.join(self.out, "results.csv"))],
                         ["8", "8"])
        summary = read_csv(os.path.join(self.out, "summary.csv"))
        self.assertEqual([(s["S_n"], s["S_mean"]) for s in summary][1], ("0", ""))

    def test_slurm_array_then_collect(self):
        result = self.sweep("--slurm", "-j", "2", "--sbatch=--time=0:10:00")
        self.assertEqual(result.returncode, 0, result.stderr)
        script = os.path.join(self.out, "sweep.slurm")
        text = read_text(script)
        self.assertIn("#SBATCH --array=1-6%2\n", text)
        self.assertIn("#SBATCH --time=0:10:00\n", text)
        self.assertEqual(os.listdir(os.path.join(self.out, "runs", "p001-r01")), ["run.sh"])
        for task in range(1, 7):  # what the array's tasks would do, one after the other
            env = dict(os.environ, SLURM_ARRAY_TASK_ID=str(task))
            self.assertEqual(subprocess.run(["bash", script], env=env).returncode, 0)
        collected = run_tool(SWEEP, "-o", self.out, "--collect")
        self.assertEqual(collected.returncode, 0, collected.stderr)
        self.assertEqual(len(read_csv(os.path.join(self.out, "results.csv"))), 6)

    def test_sshloginfile_runs_on_the_listed_machines(self):
        hosts = os.path.join(self.tmp.name, "hosts")
        with open(hosts, "w") as f:
            f.write("2/:\n")  # ':' is GNU parallel's name of this machine
        result = self.sweep("--sshloginfile", hosts)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(len(read_csv(os.path.join(self.out, "results.csv"))), 6)


if __name__ == "__main__":
    unittest.main()
