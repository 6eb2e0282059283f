# The plan of a sweep (fixed and swept options, replications, the sweep's
# seed), how a grown plan is held against the stored one, and run seeds.
import hashlib
import itertools
import math
import os
import re
import secrets
import sys

PROG = "vorn-sweep"
PATH_OPTIONS = ("optfile", "nodes_file", "qos_p_file", "qos_tau_file")
# Options that a fixed option overrides, so that their points would run alike.
GROUPS = ("nodes_def", "nodes_file")
OVERRIDDEN_BY = {"M": GROUPS, "ar_type": GROUPS, "arrival": GROUPS, "ar_rate": GROUPS,
                 "nodes_file": ("nodes_def",), "p": ("qos_p_file",), "tau": ("qos_tau_file",)}
SET_BY_SWEEP = {"out_dir": "every run writes into its own folder (DIR/runs/RUN/out)",
                "seed": "every run gets its own seed; choose the sweep's with --seed N",
                "exact": "the runs simulate; --exact adds the exact model's values"}
NAME_RE = re.compile(r"[A-Za-z_][A-Za-z0-9_]*\Z")
SAFE_VALUE = re.compile(r"[A-Za-z0-9.,+-]+\Z")
MAX_RANGE = 100000  # values of one range; more is a typing error, not a sweep
SEED_MAX = 4294967295
DEFAULT_REPS = 3
DEFAULT_MAX_REPS = 100


class SweepError(Exception):
    """An error reported in one line on standard error; status 2 for usage errors."""

    def __init__(self, message, status=2):
        super().__init__(message)
        self.status = status


def note(message):
    sys.stderr.write("%s: %s\n" % (PROG, message))


def split_option(text, what):
    name, sep, value = text.partition("=")
    if not sep or not NAME_RE.match(name):
        raise SweepError("%s '%s' is not NAME=VALUE" % (what, text))
    if "\n" in value or "\r" in value:  # lastopts.lst and run.sh hold one option a line
        raise SweepError("%s %s: a value cannot hold a line break" % (what, name))
    return name, value


def expand_range(item):
    parts = item.split(":")
    if len(parts) not in (2, 3) or not all(parts):
        raise SweepError("range '%s' is not START:STOP or START:STOP:STEP" % item)
    try:
        if all(re.fullmatch(r"[+-]?\d+", part) for part in parts):
            start, stop, step = (int(x) for x in parts + ["1"][len(parts) - 2:])
            count = (stop - start) // step + 1 if step else 0
            return [str(start + i * step) for i in range(min(count, MAX_RANGE + 1))]
        start, stop, step = (float(x) for x in parts + ["1"][len(parts) - 2:])
    except ValueError:
        raise SweepError("range '%s' holds a value that is not a number" % item) from None
    if step == 0 or not all(map(math.isfinite, (start, stop, step))):
        return []
    count = math.floor((stop - start) / step + 1e-9) + 1
    return ["%.12g" % (start + i * step) for i in range(min(count, MAX_RANGE + 1))]


def checked_range(item):
    values = expand_range(item)
    if not values:
        raise SweepError("range '%s' holds no value (check the sign of STEP)" % item)
    if len(values) > MAX_RANGE:
        raise SweepError("range '%s' holds more than %d values" % (item, MAX_RANGE))
    return values


def sweep_values(kind, value):
    if kind == "value":
        return [value]
    values = []
    for item in value.split(","):
        if ":" in item:
            values += checked_range(item)
        elif item:
            values.append(item)
    return values


def absolute_path_value(name, value):
    if name in PATH_OPTIONS and value and not os.path.isabs(value):
        return os.path.abspath(value)
    return value


def given_options(args):
    """The fixed and swept options of the command line, checked among themselves."""
    sweeps = {}
    for kind, text in args.sweep_specs:
        name, value = split_option(text, "--" + kind)
        values = sweep_values(kind, value)
        if not values:
            raise SweepError("--sweep %s holds no value" % text)
        for v in values:
            v = absolute_path_value(name, v)
            if v in sweeps.setdefault(name, []):
                raise SweepError("--sweep %s: value '%s' given twice" % (name, v))
            sweeps[name].append(v)
    fixed = {}
    for text in args.options:
        name, value = split_option(text, "argument")
        if name in fixed:
            raise SweepError("option %s given twice; to sweep it use --sweep %s=V1,V2,..."
                             % (name, name))
        if name in sweeps:
            raise SweepError("option %s is both fixed and swept" % name)
        fixed[name] = absolute_path_value(name, value)
    for name in sweeps:
        by = next((o for o in OVERRIDDEN_BY.get(name, ()) if fixed.get(o)), None)
        if by:
            raise SweepError("--sweep %s: the fixed option %s overrides it" % (name, by))
    for name, why in SET_BY_SWEEP.items():
        if name in fixed or name in sweeps:
            raise SweepError("option %s is set by the sweep: %s; remove it" % (name, why))
    return fixed, sweeps


def checked_seed(seed):
    if seed is not None and not 1 <= seed <= SEED_MAX:
        raise SweepError("--seed %d: accepted are whole numbers from 1 to %d" % (seed, SEED_MAX))
    return seed


def new_plan(args):
    if not (args.options or args.sweep_specs):
        raise SweepError("%s holds no sweep; give the options to sweep"
                         % os.path.abspath(args.out))
    fixed, sweeps = given_options(args)
    reps = DEFAULT_REPS if args.reps is None else args.reps
    if reps < 1:
        raise SweepError("-r/--reps must be at least 1")
    seed = checked_seed(args.seed) or secrets.randbelow(SEED_MAX) + 1
    plan = {"fixed": ["%s=%s" % nv for nv in fixed.items()],
            "sweeps": [[n, v] for n, v in sweeps.items()], "reps": reps, "seed": seed}
    return with_target(args, plan, None)


def with_target(args, plan, folder):
    """The plan with --precision and --max-reps; a stored target may only tighten, and
    its replications only grow."""
    if args.precision is None and args.max_reps is None:
        return plan
    stored = plan.get("precision")
    if args.precision is None and stored is None:
        raise SweepError("--max-reps %d needs --precision METRIC=X" % args.max_reps)
    plan = dict(plan)
    if args.precision is not None:
        metric, target = parse_target(args.precision)
        if stored is not None:
            old_metric, old_target = parse_target(stored)
            if metric != old_metric or target > old_target:
                differ(folder, "--precision " + stored, "--precision " + args.precision)
        elif folder is not None:
            differ(folder, "no --precision", "--precision " + args.precision)
        plan["precision"] = args.precision
    max_reps = plan.get("max_reps", DEFAULT_MAX_REPS) if args.max_reps is None else args.max_reps
    if max_reps < plan.get("max_reps", 0):
        differ(folder, "--max-reps %d" % plan["max_reps"], "--max-reps %d" % max_reps)
    if max_reps < plan["reps"]:
        raise SweepError("--max-reps %d is below -r %d" % (max_reps, plan["reps"]))
    plan["max_reps"] = max_reps
    return plan


def parse_target(text):
    """METRIC=X of --precision as (METRIC, X), with 0 < X < 1."""
    metric, sep, value = text.partition("=")
    try:
        target = float(value)
    except ValueError:
        target = math.nan
    if not sep or not NAME_RE.match(metric) or not 0.0 < target < 1.0:
        raise SweepError("--precision %s: expected METRIC=X with X above 0 and below 1 "
                         "(a relative 95%% half-width, such as S=0.01)" % text)
    return metric, target


def differ(folder, there, here):
    raise SweepError("%s holds another sweep: %s there, %s here; a sweep grows only by "
                     "replications or swept values (use another -o DIR)" % (folder, there, here))


def grown_plan(args, stored, folder):
    """The stored plan grown by what the command line adds; any other change is refused."""
    plan = dict(stored)
    if args.options or args.sweep_specs:
        fixed, sweeps = given_options(args)
        old = dict(text.split("=", 1) for text in stored["fixed"])
        for name in sorted(set(old) | set(fixed)):
            if old.get(name) != fixed.get(name):
                differ(folder, *("%s=%s" % (name, d[name]) if name in d else "no %s" % name
                                 for d in (old, fixed)))
        old_sweeps = dict(stored["sweeps"])
        if set(old_sweeps) != set(sweeps):
            differ(folder, *("swept options %s" % (", ".join(d) or "none")
                             for d in (old_sweeps, sweeps)))
        for name, values in sweeps.items():
            if not set(old_sweeps[name]) <= set(values):
                differ(folder, *("--sweep %s=%s" % (name, ",".join(v))
                                 for v in (old_sweeps[name], values)))
        plan["sweeps"] = [[n, v] for n, v in sweeps.items()]
    if args.reps is not None:
        if args.reps < stored["reps"]:
            differ(folder, "-r %d" % stored["reps"], "-r %d" % args.reps)
        plan["reps"] = args.reps
    if checked_seed(args.seed) not in (None, stored["seed"]):
        differ(folder, "--seed %d" % stored["seed"], "--seed %d" % args.seed)
    return with_target(args, plan, folder)


def run_seed(sweep_seed, point, rep):
    """A run's seed from the sweep's seed, its point's option values and its replication,
    so that a point keeps its seeds whatever else the sweep holds."""
    text = "%d\n%s\n%d" % (sweep_seed, "\n".join(sorted("%s=%s" % nv for nv in point)), rep)
    digest = hashlib.sha256(text.encode()).digest()
    return int.from_bytes(digest[:8], "big") % SEED_MAX + 1


class Sweep:
    """The points and runs of a plan in its folder; a point is a tuple of (name, value)."""

    def __init__(self, folder, plan, vorn):
        self.dir = os.path.abspath(folder)
        self.plan, self.vorn = plan, vorn
        self.names = [name for name, _ in plan["sweeps"]]
        self.points = [tuple(zip(self.names, values))
                       for values in itertools.product(*(v for _, v in plan["sweeps"]))]
        self.reps = plan["reps"]
        self.exact = None  # the exact model's rows and metrics, with --exact
        # A sweep to a target sets each point's replications (targets.Targets).
        self.point_reps = {}

    def reps_of(self, point):
        return self.point_reps.get(point, self.reps)

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def runs(self):
        """(point number, point, rep), replication-major so that a point's runs spread out."""
        most = max(map(self.reps_of, self.points), default=0)
        return [(k + 1, point, rep) for rep in range(1, most + 1)
                for k, point in enumerate(self.points) if rep <= self.reps_of(point)]

    def run_name(self, point, rep):
        """Named by option values, so a run keeps its folder when the sweep grows."""
        pairs = sorted(point)
        tag = "_".join("%s=%s" % nv for nv in pairs)
        if not all(SAFE_VALUE.match(v) for _, v in pairs) or len(tag) > 80:
            tag = "p" + hashlib.sha256(tag.encode()).hexdigest()[:12]
        return "%s-r%d" % (tag or "base", rep)

    def run_dir(self, point, rep):
        return self.path("runs", self.run_name(point, rep))

    def seed(self, point, rep):
        return run_seed(self.plan["seed"], point, rep)

    def check_seeds(self):
        seen = {}
        most = self.plan.get("max_reps", self.reps)
        for rep, point in itertools.product(range(1, most + 1), self.points):
            seed = self.seed(point, rep)
            if seed in seen:
                raise SweepError("runs %s and %s would get the same seed %d; choose another "
                                 "--seed" % (seen[seed], self.run_name(point, rep), seed))
            seen[seed] = self.run_name(point, rep)


def describe(point):
    return " ".join("%s=%s" % nv for nv in point) or "the only point"
