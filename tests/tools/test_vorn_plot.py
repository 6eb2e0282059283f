# Tests of tools/vorn-plot: pictures of a sweep summary, of a flow file and of
# a distribution file, and the refusal of inputs it cannot draw.
import os
import shutil
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

from toolsupport import PLOT, SWEEP, read_text, run_tool, simulator

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


@unittest.skipIf(shutil.which("gnuplot") is None,
                 "gnuplot is missing: install the Debian package gnuplot-nox (scripts/setup.sh)")
class PlotTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.out = os.path.join(cls.tmp.name, "sweep")
        result = run_tool(SWEEP, "-o", cls.out, "--vorn", simulator(), "-r", "2", "--sweep",
                          "M=5,10", "--sweep", "F=8,16", "runs=2000", "flow_stats=0.5",
                          "pdf_winners=1")
        assert result.returncode == 0, result.stderr
        cls.run_out = os.path.join(cls.out, "runs", "p001-r01", "out")

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def assert_pictures(self, prefix):
        """Checks PREFIX.png and PREFIX.svg and returns the SVG text."""
        with open(prefix + ".png", "rb") as f:
            self.assertEqual(f.read(8), PNG_SIGNATURE)
        svg = read_text(prefix + ".svg")
        self.assertTrue(ElementTree.fromstring(svg).tag.endswith("svg"))
        return svg

    def plot(self, *args, status=0):
        result = run_tool(PLOT, *args)
        self.assertEqual(result.returncode, status, result.stderr)
        return result.stderr

    def test_summary_with_one_curve_per_value_of_a_second_option(self):
        message = self.plot("summary", self.out, "-x", "M", "-y", "S", "-c", "F")
        prefix = os.path.join(self.out, "S_vs_M_by_F")
        self.assertIn("wrote %s.png and %s.svg" % (prefix, prefix), message)
        svg = self.assert_pictures(prefix)
        for text in ("F=8", "F=16", "95% confidence interval"):
            self.assertIn(text, svg)

    def test_other_varying_options_must_be_pinned(self):
        message = self.plot("summary", os.path.join(self.out, "summary.csv"), "-y", "Ps", status=2)
        self.assertIn("the summary also varies F (8, 16); fix it with --where F=VALUE", message)
        prefix = os.path.join(self.tmp.name, "new", "ps")
        self.plot("summary", self.out, "-y", "Ps", "--where", "F=16", "--errors", "sd", "-o",
                  prefix)
        self.assertIn("standard deviation", self.assert_pictures(prefix))

    def test_flow_and_distribution_files(self):
        self.plot("flow", os.path.join(self.run_out, "flow_network.csv"))
        self.assertIn("Ps_t", self.assert_pictures(os.path.join(self.run_out, "flow_network")))
        self.plot("pdf", os.path.join(self.run_out, "pdf_winners.csv"))
        self.assertIn("winners", self.assert_pictures(os.path.join(self.run_out, "pdf_winners")))

    def test_unknown_names_and_files_of_another_kind_are_refused(self):
        message = self.plot("summary", self.out, "-y", "Q", status=2)
        self.assertIn("-y Q: not a metric of the summary (S, Ps, Pc, Pf, Pi, pktps)", message)
        message = self.plot("summary", self.out, "-x", "R", status=2)
        self.assertIn("-x R: not a swept option of the summary (M, F)", message)
        message = self.plot("flow", os.path.join(self.run_out, "network.csv"), status=2)
        self.assertIn("does not start with the column time", message)
        message = self.plot("pdf", os.path.join(self.run_out, "flow_network.csv"), status=2)
        self.assertIn("is not a distribution file", message)


if __name__ == "__main__":
    unittest.main()
