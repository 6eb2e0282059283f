# Shared helpers of the tool tests: paths, the program to sweep, running the
# tools and importing a script as a module.
import csv
import importlib.machinery
import importlib.util
import os
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SWEEP = os.path.join(ROOT, "tools", "vorn-sweep")
PLOT = os.path.join(ROOT, "tools", "vorn-plot")
STANDIN = os.path.join(HERE, "vorn-standin")
_simulator = None


def load_script(path, name):
    loader = importlib.machinery.SourceFileLoader(name, path)
    module = importlib.util.module_from_spec(importlib.util.spec_from_loader(name, loader))
    loader.exec_module(module)
    return module


def writes_network_csv(binary):
    """True when the binary runs a short simulation and writes the 52-column network.csv."""
    with tempfile.TemporaryDirectory() as work:
        try:
            subprocess.run([binary, "runs=50", "out_dir=out"], cwd=work, timeout=60,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            with open(os.path.join(work, "out", "network.csv")) as f:
                return len(f.readline().split(", ")) == 52
        except (OSError, subprocess.TimeoutExpired):
            return False


def simulator():
    """The program the general tests sweep: VORN_SWEEP_PROGRAM if set, else the vorn binary
    of the build (VORN_BINARY) once it simulates, else the stand-in."""
    global _simulator
    if _simulator is None:
        chosen = os.environ.get("VORN_SWEEP_PROGRAM")
        binary = os.environ.get("VORN_BINARY")
        if not chosen and binary and writes_network_csv(binary):
            chosen = binary
        _simulator = chosen or STANDIN
        sys.stderr.write("tool tests sweep %s\n" % _simulator)
    return _simulator


def run_tool(tool, *args, cwd=None, timeout=300):
    return subprocess.run([tool] + [str(a) for a in args], cwd=cwd, timeout=timeout, text=True,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          stdin=subprocess.DEVNULL)


def read_text(path):
    with open(path) as f:
        return f.read()


def read_csv(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(f))


def read_network(path):
    with open(path) as f:
        names, values = (line.rstrip("\n").split(", ") for line in f.readlines()[:2])
    return dict(zip(names, values))
