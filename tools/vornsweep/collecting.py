# Collecting a sweep's results: every finished run's network and station rows,
# its stations' node groups, and results.csv with one row per run.
import csv
import os
import re

from .plan import SweepError, note
from .running import finished

FIELD_SEP = re.compile(r", | \| ")


def fields(line):
    return [field.strip() for field in FIELD_SEP.split(line)]


def read_table(path):
    """The rows of a vorn CSV file as dicts; ValueError when it is missing or cut short."""
    try:
        with open(path) as f:
            lines = [line for line in f.read().splitlines() if line.strip()]
    except OSError as error:
        raise ValueError(error.strerror) from None
    names, rows = fields(lines[0]) if lines else [], [fields(line) for line in lines[1:]]
    if not rows or any(len(row) != len(names) for row in rows):
        raise ValueError("%s is cut short" % os.path.basename(path))
    # A stats selection leaves a trailing separator, hence an empty name.
    return [{n: v for n, v in zip(names, row) if n} for row in rows]


def read_options(path):
    options = {}
    with open(path) as f:
        for line in f.read().splitlines():
            name, _, value = line.partition("=")
            options[name] = value
    return options


def group_sizes(text, separator):
    """Stations per node group, read as vorn reads nodes_def or a nodes_file: blank and
    '#' lines skipped, and a line that is not numbers (a header of names); N in digits."""
    rows = [[cell.strip(" \t\r") for cell in line.split(",")] for line in text.split(separator)
            if line.strip(" \t\r") and not line.lstrip(" \t").startswith("#")]
    if any(len(row) != len(rows[0]) for row in rows):
        return []
    return [int(row[0]) for row in rows if row[0].isdigit() and all(map(is_number, row[1:]))]


def is_number(cell):
    try:
        float(cell)
        return True
    except ValueError:
        return False


def run_groups(out_dir):
    """Stations per node group of a finished run, from the options it recorded."""
    options = read_options(os.path.join(out_dir, "lastopts.lst"))
    if options.get("nodes_def"):
        return group_sizes(options["nodes_def"], ";")
    if options.get("nodes_file"):
        path = os.path.join(out_dir, options["nodes_file"])
        try:
            with open(path) as f:
                return group_sizes(f.read(), "\n")
        except OSError as error:
            raise SweepError("cannot read the node groups of %s: %s: %s"
                             % (out_dir, path, error.strerror)) from None
    return []


class Run:
    """One finished run: its network row, its station rows and its stations' groups."""

    def __init__(self, sweep, number, point, rep, want_nodes):
        self.number, self.point, self.rep = number, point, rep
        self.dir = sweep.run_dir(point, rep)
        self.seed = sweep.seed(point, rep)
        out = os.path.join(self.dir, "out")
        self.network = read_table(os.path.join(out, "network.csv"))[0]
        self.nodes, self.groups = None, []
        if want_nodes:
            self.nodes = read_table(os.path.join(out, "nodes.csv"))
            self.groups = run_groups(out)
            if self.groups and sum(self.groups) != len(self.nodes):
                raise SweepError("%s: nodes.csv holds %d stations, its node groups %d"
                                 % (self.dir, len(self.nodes), sum(self.groups)))

    def group_nodes(self, group):
        start = sum(self.groups[:group])
        return self.nodes[start:start + self.groups[group]]


def collect_runs(sweep, want_nodes):
    """The finished runs, in the order of the grid; runs without results are reported."""
    runs, missing = [], []
    for number, point in enumerate(sweep.points, 1):
        for rep in range(1, sweep.reps_of(point) + 1):
            run_dir = sweep.run_dir(point, rep)
            try:
                if not finished(run_dir):
                    raise ValueError(last_line(os.path.join(run_dir, "out", "stderr.txt")))
                runs.append(Run(sweep, number, point, rep, want_nodes))
            except ValueError as error:
                missing.append((run_dir, str(error)))
    for run_dir, why in missing[:5]:
        note("run %s has no results%s; see %s" % (os.path.basename(run_dir),
                                                  " (%s)" % why if why else "",
                                                  os.path.join(run_dir, "out", "stderr.txt")))
    if len(missing) > 5:
        note("... and %d more runs without results" % (len(missing) - 5))
    return runs, len(missing)


def last_line(path):
    try:
        with open(path, errors="replace") as f:
            lines = [line.strip() for line in f if line.strip()]
    except OSError:
        return ""
    return lines[-1] if lines else ""


def write_results(sweep, runs):
    """One row per run: point, rep, seed, the swept options and every network column (one
    named like a swept option as net_NAME), then the run's folder."""
    columns = list(dict.fromkeys(name for run in runs for name in run.network))
    path = sweep.path("results.csv")
    with open(path, "w", newline="") as f:
        out = csv.writer(f, lineterminator="\n")
        out.writerow(["point", "rep", "seed"] + sweep.names +
                     ["net_" + c if c in sweep.names else c for c in columns] + ["run_dir"])
        for run in runs:
            out.writerow([run.number, run.rep, run.seed] + [v for _, v in run.point] +
                         [run.network.get(c, "") for c in columns] +
                         [os.path.relpath(run.dir, sweep.dir)])
    return path
