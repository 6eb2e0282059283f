# Shared helpers of the tool tests: paths, the vorn binary of the build, running
# the tools and reading their files.
import csv
import os
import subprocess
import sys

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SWEEP = os.path.join(ROOT, "tools", "vorn-sweep")
PLOT = os.path.join(ROOT, "tools", "vorn-plot")
VORN = os.environ.get("VORN_BINARY") or os.path.join(ROOT, "build", "vorn")
sys.path.insert(0, os.path.join(ROOT, "tools"))


def run_tool(tool, *args, cwd=None):
    return subprocess.run([tool] + [str(a) for a in args], cwd=cwd, timeout=120, text=True,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          stdin=subprocess.DEVNULL)


def read_text(path):
    with open(path) as f:
        return f.read()


def read_csv(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(f, skipinitialspace=True))
