# What vorn accepts, learned from vorn itself: its option names (from -h) and
# the result columns a point's runs will write, with closest-name suggestions.
import concurrent.futures
import difflib
import os
import re
import subprocess
import tempfile

from .collecting import fields
from .plan import SweepError, describe

HELP_LINE = re.compile(r"([A-Za-z_][A-Za-z0-9_]*) +\([a-zA-Z]\)")
# Settings of the probe that stops after the header or one cycle and prints the header.
PROBE = {"header": "1", "csv": "1", "debug": "1", "nodes_stats": "0", "nodes_only": "0",
         "show_node": "-1", "time": "0", "frames": "0", "attempts": "0", "runs": "1",
         "out_dir": "out"}


def suggestion(name, known):
    close = difflib.get_close_matches(name, known, n=1, cutoff=0.6)
    return ' (did you mean "%s"?)' % close[0] if close else ""


def option_names(vorn):
    result = subprocess.run([vorn, "-h", "show_hidden=1"], capture_output=True, text=True,
                            stdin=subprocess.DEVNULL)
    names = [m.group(1) for m in map(HELP_LINE.match, result.stdout.splitlines()) if m]
    if not names:
        raise SweepError("%s -h lists no option; is it a vorn binary?" % vorn)
    return names


def check_option_names(vorn, plan):
    known = option_names(vorn)
    if "seed" not in known:
        raise SweepError("%s has no option seed, so its runs could not be repeated; build a "
                         "newer vorn" % vorn)
    fixed = [text.split("=", 1)[0] for text in plan["fixed"]]
    for what, names in (("option", fixed), ("--sweep", [n for n, _ in plan["sweeps"]])):
        for name in names:
            if name not in known:
                raise SweepError('%s %s: vorn has no option "%s"%s'
                                 % (what, name, name, suggestion(name, known)))


def probe(vorn, options, extra=()):
    """The first header line vorn prints for these options (header=1 stops before the
    simulation; a binary without it runs one cycle), or the file header of that cycle."""
    kept = [text for text in options if text.split("=", 1)[0] not in PROBE]
    # The first occurrence of an option wins, so extra comes before PROBE.
    argv = [vorn] + list(extra) + ["%s=%s" % nv for nv in PROBE.items()] + kept
    with tempfile.TemporaryDirectory() as work:
        result = subprocess.run(argv, cwd=work, capture_output=True, text=True,
                                stdin=subprocess.DEVNULL, timeout=300)
        if result.returncode != 0:
            lines = [line for line in result.stderr.splitlines() if line.strip()] or ["?"]
            raise SweepError("vorn refuses it (exit status %d): %s"
                             % (result.returncode, lines[-1].strip()))
        files = [os.path.join(work, "out", name) for name in ("network.csv", "nodes.csv")]
        if all(map(os.path.exists, files)):
            with open(files[0]) as net, open(files[1]) as nodes:
                return fields(net.readline()), fields(nodes.readline())
    lines = result.stdout.splitlines()
    return fields(lines[0]) if lines else [], None


def node_columns(vorn, options, nodes):
    return nodes if nodes is not None else probe(vorn, options, ["nodes_only=1"])[0]


def check_point(vorn, options, metrics, node_metrics):
    network, nodes = probe(vorn, options)
    for name in metrics:
        if name not in network:
            nodes = node_columns(vorn, options, nodes)
            hint = (" (a column of nodes.csv: use --node-metrics %s)" % name if name in nodes
                    else suggestion(name, network))
            raise SweepError('--metrics %s: network.csv has no column "%s"%s'
                             % (name, name, hint))
    if node_metrics:
        nodes = node_columns(vorn, options, nodes)
        for name in node_metrics:
            if name not in nodes:
                raise SweepError('--node-metrics %s: nodes.csv has no column "%s"%s'
                                 % (name, name, suggestion(name, nodes)))


def check_everything(sweep, metrics, node_metrics):
    """Option names, every point's values (vorn's own checks) and the metric names."""
    check_option_names(sweep.vorn, sweep.plan)
    clash = sorted(set(metrics) & set(node_metrics))
    if clash:
        raise SweepError("%s is in both --metrics and --node-metrics, whose summaries would "
                         "both be named %s_mean: keep it in one list" % (clash[0], clash[0]))

    def check(point):
        try:
            check_point(sweep.vorn, sweep.plan["fixed"] + ["%s=%s" % nv for nv in point],
                        metrics, node_metrics)
        except SweepError as error:
            return "point %s: %s" % (describe(point), error)
        return None

    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
        error = next((e for e in pool.map(check, sweep.points) if e), None)
    if error:
        raise SweepError(error)
