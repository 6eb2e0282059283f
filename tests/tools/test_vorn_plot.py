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
                          "--sweep", "F=8,16", "runs=2000", "flow_stats=0.05", "pdf_winners=1",
                          "--exact")
        assert result.returncode == 0, result.stderr
        cls.run_out = os.path.join(cls.out, "runs", "F=8_M=5-r1", "out")

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
        message = self.plot("summary", self.out, "-x", "M", "-y", "pktps", "-c", "F")
        prefix = os.path.join(self.out, "pktps_vs_M_by_F")
        self.assertIn("wrote %s.png, %s.svg and %s.pdf" % (prefix, prefix, prefix), message)
        svg = self.svg_of_pictures(prefix)
        for text in ("F=8", "F=16", "95% confidence interval", "stations M",
                     "successes pktps (frames/s)", ">0<"):
            self.assertIn(text, svg)

    def test_exact_lines_beside_the_points_with_gaps_outside_the_model(self):
        self.assertNotIn("exact", self.plot("summary", self.out, "-c", "F", "--exact"))
        svg = self.svg_of_pictures(os.path.join(self.out, "S_vs_M_by_F"))
        self.assertEqual(svg.count(">lines: exact model<"), 1)
        self.assertIn(">F=16<", svg)
        path = os.path.join(self.tmp.name, "gap.csv")
        with open(path, "w") as f:
            f.write("point,M,S_mean,S_sd,S_n,S_ci95,S_exact\n1,2,0.8,0.1,2,0.9,0.81\n"
                    "2,5,0.7,0.1,2,0.9,\n3,9,0.6,0.1,2,0.9,0.62\n")
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
        self.assertIn("the summary also varies F (8, 16); fix it with --where F=VALUE", message)
        prefix = os.path.join(self.tmp.name, "new", "ps")
        self.plot("summary", self.out, "-y", "Ps", "--where", "F=16", "--errors", "sd", "-o",
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
                 ("summary", self.out, "-x", "R"): "-x R: not a swept option of the summary (M, F)",
                 ("summary", self.out, "-x", "F", "-c", "F"): "-c F: the option on the x axis",
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
