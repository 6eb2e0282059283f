# The exact model beside a sweep (--exact): vorn exact=1 for every point, the
# network row it prints, and the points outside the model's reach.
import concurrent.futures
import os
import subprocess
import tempfile

from .checks import option_names
from .collecting import fields
from .plan import SweepError, describe, note

# The model prints one network row; these settings choose that row and its format and
# turn off the runs' other output, which is no part of the model.
SETTINGS = {"exact": "1", "header": "0", "csv": "1", "debug": "1", "nodes_stats": "0",
            "nodes_only": "0", "show_node": "-1", "pdf_winners": "0", "mc_nodes": "0",
            "mc_packets": "0", "queue_stats": "0", "flow_stats": "0"}
OUT_OF_REACH = "exact=1 cannot model"


def last_line(text):
    lines = [line.strip() for line in text.splitlines() if line.strip()]
    return lines[-1] if lines else "?"


def exact_row(vorn, options):
    """(the model's network row as a dict, None) or, outside its reach, (None, vorn's
    reason); any other failure of vorn is an error."""
    kept = [text for text in options if text.split("=", 1)[0] not in SETTINGS]
    argv = [vorn] + ["%s=%s" % nv for nv in SETTINGS.items()] + kept
    with tempfile.TemporaryDirectory() as work:  # the model writes no file; this keeps it so
        result = subprocess.run(argv, cwd=work, capture_output=True, text=True,
                                stdin=subprocess.DEVNULL, timeout=300)
    if result.returncode == 1 and OUT_OF_REACH in result.stderr:
        return None, last_line(result.stderr).replace("Error: ", "", 1)
    lines = [line for line in result.stdout.splitlines() if line.strip()]
    if result.returncode != 0 or len(lines) != 2:
        raise SweepError("vorn exact=1 fails (exit status %d): %s"
                         % (result.returncode, last_line(result.stderr)))
    return {n: v for n, v in zip(fields(lines[0]), fields(lines[1])) if n}, None


def exact_values(sweep, metrics):
    """The model's row of every point (None outside its reach) and the metrics it
    determines; what it leaves out is said once."""
    if "exact" not in option_names(sweep.vorn):
        raise SweepError("--exact: %s has no option exact; build a newer vorn" % sweep.vorn)

    def row(point):
        try:
            return exact_row(sweep.vorn, sweep.plan["fixed"] + ["%s=%s" % nv for nv in point])
        except SweepError as error:
            raise SweepError("--exact: point %s: %s" % (describe(point), error)) from None

    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
        rows = list(pool.map(row, sweep.points))
    outside = [(point, why) for point, (values, why) in zip(sweep.points, rows) if why]
    if outside:
        note("--exact: %d of %d points are outside the exact model's reach and get no exact "
             "values (point %s: %s)" % (len(outside), len(rows), describe(outside[0][0]),
                                        outside[0][1]))
    values = [values for values, _ in rows]
    determined = [m for m in metrics if any(v is not None and m in v for v in values)]
    missing = [m for m in metrics if m not in determined]
    if missing and len(outside) < len(rows):
        note("--exact: the exact model does not determine %s; no %s column"
             % (", ".join(missing), ", ".join(m + "_exact" for m in missing)))
    return values, determined
