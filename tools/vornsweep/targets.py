# Sweeps to a target precision: how many replications each point wants, from
# the runs it has finished, so that an interrupted sweep picks up where it was.
import os

from .collecting import read_table
from .plan import parse_target
from .running import finished
from .summaries import number, summarize


def reached(values, target):
    """True when the 95% half-width over the values is at most target times |mean|."""
    _, mean, _, half = summarize([v for v in values if v is not None])
    return half is not None and mean != 0 and half <= target * abs(mean)


class Targets:
    """Replications per point: -r at first, then -r more at a time while the point's
    METRIC_ci95 / |METRIC_mean| is above the target, up to --max-reps. Only the runs on
    disk decide, and their seeds are fixed, so the outcome is that of a sweep run
    without interruption."""

    def __init__(self, sweep):
        self.sweep = sweep
        self.metric, self.target = parse_target(sweep.plan["precision"])
        self.step, self.max_reps = sweep.plan["reps"], sweep.plan["max_reps"]
        self.values = {}  # run folder -> the metric of that finished run

    def value(self, point, rep):
        run_dir = self.sweep.run_dir(point, rep)
        if run_dir not in self.values:
            if not finished(run_dir):
                return False, None
            try:
                row = read_table(os.path.join(run_dir, "out", "network.csv"))[0]
            except ValueError:
                return False, None
            self.values[run_dir] = number(row.get(self.metric))
        return True, self.values[run_dir]

    def wanted(self, point):
        """(replications to have, replications that met the target or None)."""
        reps = min(self.step, self.max_reps)
        while True:
            done = [self.value(point, rep) for rep in range(1, reps + 1)]
            if not all(ok for ok, _ in done):
                return reps, None
            if reached([v for _, v in done], self.target):
                return reps, reps
            if reps >= self.max_reps:
                return reps, None
            reps = min(reps + self.step, self.max_reps)

    def update(self):
        """Sets every point's replications; returns the replications needed per point."""
        needed = {}
        for point in self.sweep.points:
            self.sweep.point_reps[point], needed[point] = self.wanted(point)
        return needed
