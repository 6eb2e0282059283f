# Tests of tools/vorn-plot: pictures of a sweep summary, of a flow file and of
# a distribution file, their axes, and the refusal of inputs it cannot draw.
import importlib.machinery
import os
import shutil
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

from toolsupport import PLOT, SWEEP, VORN, read_text, run_tool

SIGNATURES = {"png": b"\x89PNG\r\n\x1a\n", "pdf": b"%PDF-"}


@unittest.skipIf(shutil.which("gnuplot") is None,
                 "gnuplot is missing: install the Debian package gnuplot-nox (scripts/setup.sh)")
class PlotTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.out = os.path.join(cls.tmp.name, "sweep")
        result = run_tool(SWEEP, "-o", cls.out, "--vorn", VORN, "-r", "2", "--sweep", "M=5,10",
                          "--sweep", "adhoc=0,1", "R=3", "runs=2000", "flow_stats=0.05",
                          "pdf_winners=1", "--exact")
        assert result.returncode == 0, result.stderr
        cls.run_out = os.path.join(cls.out, "runs", "M=5_adhoc=0-r1", "out")

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def plot(self, *args, status=0):
        result = run_tool(PLOT, *args)
        self.assertEqual(result.returncode, status, result.stderr)
        return result.stderr

    def svg_of_pictures(self, prefix):
        """Checks PREFIX.png, PREFIX.pdf and PREFIX.svg and returns the SVG text."""
        for ext, signature in SIGNATURES.items():
            with open("%s.%s" % (prefix, ext), "rb") as f:
                self.assertEqual(f.read(len(signature)), signature)
        svg = read_text(prefix + ".svg")
        self.assertTrue(ElementTree.fromstring(svg).tag.endswith("svg"))
        return svg

    def test_summary_axes_have_units_and_start_at_zero(self):
        message = self.plot("summary", self.out, "-x", "M", "-y", "pktps", "-c", "adhoc")
        prefix = os.path.join(self.out, "pktps_vs_M_by_adhoc")
        self.assertIn("wrote %s.png, %s.svg and %s.pdf" % (prefix, prefix, prefix), message)
        svg = self.svg_of_pictures(prefix)
        # The title names the fixed options that differ from vorn's defaults (R=3 does not).
        for text in ("infrastructure", "ad hoc", "95% confidence interval", "stations M",
                     "successes pktps (frames/s)", ">0<", ">runs=2000, flow_stats=0.05, "
                     "pdf_winners=1<"):
            self.assertIn(text, svg)

    def test_exact_lines_beside_the_points_with_gaps_outside_the_model(self):
        self.assertNotIn("exact", self.plot("summary", self.out, "-c", "adhoc", "--exact"))
        svg = self.svg_of_pictures(os.path.join(self.out, "S_vs_M_by_adhoc"))
        self.assertEqual(svg.count(">lines: exact model<"), 1)
        self.assertIn(">ad hoc<", svg)
        # Two metrics of two units: one legend line for the model, both axes labelled.
        self.plot("summary", self.out, "-y", "S,pktps", "--where", "adhoc=1", "--exact")
        svg = self.svg_of_pictures(os.path.join(self.out, "S+pktps_vs_M"))
        self.assertEqual(svg.count(">lines: exact model<"), 1)
        for text in (">normalised throughput S<", ">successes pktps (frames/s)<", ">S<",
                     ">pktps<"):
            self.assertIn(text, svg)
        path = os.path.join(self.tmp.name, "gap.csv")
        with open(path, "w") as f:
            f.write("point,M,S_mean,S_sd,S_n,S_ci95,S_exact,Ps_mean,Ps_sd,Ps_n,Ps_ci95\n"
                    "1,2,0.8,0.1,2,0.9,0.81,1,0,2,0\n2,5,0.7,0.1,2,0.9,,1,0,2,0\n"
                    "3,9,0.6,0.1,2,0.9,0.62,1,0,2,0\n")
        self.assertIn("--exact: the summary has no column Ps_exact",
                      self.plot("summary", path, "-y", "S,Ps", "--exact", status=2))
        message = self.plot("summary", path, "--exact")
        self.assertEqual(message.count("\n"), 2, message)
        self.assertIn("--exact: 1 of 3 points have no S_exact (outside the exact model's "
                      "reach)", message)
        svg = self.svg_of_pictures(os.path.join(self.tmp.name, "S_vs_M"))
        self.assertIn(">simulated<", svg)
        self.assertIn(">exact model<", svg)
        # gnuplot breaks a line at a blank data row, which stands for the point without value.
        plot = importlib.machinery.SourceFileLoader("vorn_plot", PLOT).load_module()
        rows = [["1", "9", "0.62"], ["2", "2", "0.81"], ["3", "5", ""]]
        self.assertEqual(plot.exact_line(rows, 1, 2, True, None), [(2, 0.81), (), (9, 0.62)])

    def test_labels_title_and_log_axes_of_the_command_line(self):
        message = self.plot("summary", self.out, "-y", "Ps", status=2)
        self.assertIn("the summary also varies adhoc (0, 1); fix it with --where adhoc=VALUE",
                      message)
        prefix = os.path.join(self.tmp.name, "new", "ps")
        self.plot("summary", self.out, "-y", "Ps", "--where", "adhoc=1", "--errors", "sd", "-o",
                  prefix, "--xlabel", "network size", "--ylabel", "P(success)", "--title",
                  "Figure 3", "--logx", "--logy")
        svg = self.svg_of_pictures(prefix)
        for text in ("network size", "P(success)", "Figure 3", ">10<"):
            self.assertIn(text, svg)

    def test_flow_and_distribution_files(self):
        self.plot("flow", os.path.join(self.run_out, "flow_network.csv"))
        svg = self.svg_of_pictures(os.path.join(self.run_out, "flow_network"))
        for text in ("Ps_t", "simulated time (s)", "payload throughput (bit/s)", ">5M<"):
            self.assertIn(text, svg)
        self.plot("pdf", os.path.join(self.run_out, "pdf_winners.csv"))
        self.assertIn("stations left after an attempt (winners)",
                      self.svg_of_pictures(os.path.join(self.run_out, "pdf_winners")))

    def test_groups_on_log_axes_and_bars_smaller_than_markers(self):
        path = os.path.join(self.tmp.name, "delays.csv")
        with open(path, "w") as f:
            f.write("point,M,S_mean,S_sd,S_n,S_ci95,D_ms_g1_mean,D_ms_g1_sd,D_ms_g1_n,"
                    "D_ms_g1_ci95,D_ms_g2_mean,D_ms_g2_sd,D_ms_g2_n,D_ms_g2_ci95\n")
            for k, m in enumerate((1, 10, 100)):
                f.write("%d,%d,0.%d,0,2,0.001,%d,0,2,0.01,%d,0,2,0.01\n" % (k, m, 5 + k, 3 * m,
                                                                           4 * m))
        self.plot("summary", path, "-y", "D_ms_g1,D_ms_g2", "--logx", "--logy")
        svg = self.svg_of_pictures(os.path.join(self.tmp.name, "D_ms_g1+D_ms_g2_vs_M"))
        for text in ("group 1", "group 2", "mean delay D_ms (ms)", "95 % CIs smaller than the "
                     "markers", ">1<", ">2<", ">5<", ">20<", ">50<", ">100<", ">200<"):
            self.assertIn(text, svg)
        self.plot("summary", path, "-y", "S,D_ms_g1", "-o", path)  # two units, two y axes
        svg = self.svg_of_pictures(path)
        self.assertIn(">normalised throughput S<", svg)
        self.assertIn(">0.2<", svg)  # the left axis holds S alone
        self.assertIn(">mean delay D_ms, group 1 (ms)<", svg)

    def grid(self):
        """A summary of three swept options, every one taking two values."""
        path = os.path.join(self.tmp.name, "grid.csv")
        with open(path, "w") as f:
            f.write("point,M,F,R,S_mean,S_sd,S_n,S_ci95\n")
            for k in range(8):
                f.write("%d,%d,%d,%d,0.5,0.1,2,0.9\n" % (k + 1, 5 * (1 + k % 2),
                                                         8 * (1 + k // 2 % 2), 2 + k // 4))
        return path

    def test_unknown_names_and_files_of_another_kind_are_refused(self):
        cases = {("summary", self.out, "-y", "Q"):
                 "-y Q: not a metric of the summary (S, Ps, Pc, Pf, Pi, pktps)",
                 ("summary", self.out, "-x", "R"):
                 "-x R: not a swept option of the summary (M, adhoc)",
                 ("summary", self.out, "-x", "M", "-c", "M"): "-c M: the option on the x axis",
                 ("summary", self.out, "-y", "S,Q"): "-y Q: not a metric of the summary",
                 ("summary", self.out, "--yrange", "5"): "--yrange 5: accepted is LO:HI, two "
                 "numbers with LO below HI",
                 ("pdf", "x.csv", "--logx", "--xrange", "0:9"): "--xrange 0:9: accepted is LO:HI, "
                 "two numbers with LO below HI and above 0 (--logx)",
                 ("summary", self.grid(), "-x", "M"): "the summary also varies F (8, 16) and R "
                 "(2, 3); fix them with --where F=VALUE --where R=VALUE",
                 ("summary", self.grid(), "--where", "F=8", "--where", "R=2", "--exact"):
                 "--exact: the summary has no column S_exact; vorn-sweep -o DIR --exact adds it",
                 ("flow", os.path.join(self.run_out, "network.csv")):
                 "does not start with the column time",
                 ("pdf", os.path.join(self.run_out, "flow_network.csv")):
                 "is not a distribution file"}
        for args, text in cases.items():
            self.assertIn(text, self.plot(*args, status=2))


if __name__ == "__main__":
    unittest.main()
