# Summaries of a sweep: per point and metric the mean, standard deviation,
# count and 95% confidence half-width (Student t) over the replications.
import csv
import functools
import math

STATS = ("mean", "sd", "n", "ci95")


def incomplete_beta(x, a, b):
    """Regularised incomplete beta I_x(a, b), continued fraction (modified Lentz)."""
    if x <= 0.0:
        return 0.0
    if x >= 1.0:
        return 1.0
    if x > (a + 1.0) / (a + b + 2.0):  # the fraction converges fast only below this
        return 1.0 - incomplete_beta(1.0 - x, b, a)
    log_front = math.lgamma(a + b) - math.lgamma(a) - math.lgamma(b)
    front = math.exp(log_front + a * math.log(x) + b * math.log1p(-x)) / a
    tiny = 1e-300
    c, d = 1.0, 1.0 - (a + b) * x / (a + 1.0)
    d = 1.0 / (d if abs(d) > tiny else tiny)
    fraction = d
    for m in range(1, 10000):
        for numerator in (m * (b - m) * x / ((a + 2 * m - 1) * (a + 2 * m)),
                          -(a + m) * (a + b + m) * x / ((a + 2 * m) * (a + 2 * m + 1))):
            d = 1.0 + numerator * d
            d = 1.0 / (d if abs(d) > tiny else tiny)
            c = 1.0 + numerator / c
            c = c if abs(c) > tiny else tiny
            fraction *= c * d
        if abs(c * d - 1.0) < 1e-15:
            break
    return front * fraction


def t_cdf(t, df):
    tail = 0.5 * incomplete_beta(df / (df + t * t), df / 2.0, 0.5)
    return 1.0 - tail if t >= 0 else tail


@functools.lru_cache(maxsize=None)  # a sweep asks for the same few quantiles at every point
def t_quantile(p, df):
    """Quantile of Student's t with df degrees of freedom, by bisection on the cdf."""
    if not 0.0 < p < 1.0 or df <= 0:
        raise ValueError("t quantile needs 0 < p < 1 and df > 0")
    if p < 0.5:
        return -t_quantile(1.0 - p, df)
    low, high = 0.0, 1.0
    while t_cdf(high, df) < p:
        low, high = high, 2.0 * high
    while high - low > 1e-13 * max(1.0, high):
        mid = 0.5 * (low + high)
        if t_cdf(mid, df) < p:
            low = mid
        else:
            high = mid
    return 0.5 * (low + high)


def summarize(values):
    """Count, mean, sample standard deviation and 95% half-width; None where undefined."""
    n = len(values)
    if n == 0:
        return 0, None, None, None
    mean = math.fsum(values) / n
    if n == 1:
        return 1, mean, None, None
    sd = math.sqrt(math.fsum((v - mean) ** 2 for v in values) / (n - 1))
    return n, mean, sd, t_quantile(0.975, n - 1) * sd / math.sqrt(n)


def number(text):
    """The value of a result field; None for vorn's mark of a non-finite result (-999.9 in
    the field's format) and for anything that is not a finite number."""
    try:
        value = float(text)
    except (TypeError, ValueError):
        return None
    return value if math.isfinite(value) and value != -999.9 else None


def station_mean(nodes, metric):
    """Mean of a station column over the stations that have a value, None if none has."""
    values = [v for v in (number(node.get(metric)) for node in nodes) if v is not None]
    return math.fsum(values) / len(values) if values else None


def fmt(value):
    return "" if value is None else "%.10g" % value


def cells(values):
    n, mean, sd, half = summarize([v for v in values if v is not None])
    return [fmt(mean), fmt(sd), str(n), fmt(half)]


def exact_cell(row, metric):
    return fmt(number(row.get(metric))) if row is not None else ""


def write_summary(sweep, runs, metrics, node_metrics, exact=None, needed=None):
    """One row per point: the swept options, then every statistic of every metric, with
    METRIC_exact after those the exact model determines when exact = (its row of every
    point, those metrics); station metrics also per node group (NAME_gK_...) when the
    runs define groups; in a sweep to a target, last, the replications that met it (empty
    if none did)."""
    exact_rows, determined = exact or ([None] * len(sweep.points), [])
    groups = max((len(run.groups) for run in runs), default=0)
    names = [(m, g) for m in node_metrics for g in [None] + list(range(groups))]
    header = ["point"] + sweep.names
    for metric in metrics:
        header += ["%s_%s" % (metric, s) for s in STATS]
        header += [metric + "_exact"] if metric in determined else []
    header += ["%s%s_%s" % (m, "" if g is None else "_g%d" % (g + 1), s)
               for m, g in names for s in STATS]
    header += [] if needed is None else ["reps_needed"]
    path = sweep.path("summary.csv")
    with open(path, "w", newline="") as f:
        out = csv.writer(f, lineterminator="\n")
        out.writerow(header)
        for k, (point, exact_row) in enumerate(zip(sweep.points, exact_rows), 1):
            mine = [run for run in runs if run.number == k]
            row = [k] + [v for _, v in point]
            for metric in metrics:
                row += cells(number(run.network.get(metric)) for run in mine)
                row += [exact_cell(exact_row, metric)] if metric in determined else []
            for metric, group in names:
                row += cells(station_mean(run.nodes if group is None else run.group_nodes(group),
                                          metric)
                             for run in mine if group is None or group < len(run.groups))
            row += [] if needed is None else [fmt(needed[point])]
            out.writerow(row)
    return path
