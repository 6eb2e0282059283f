# Running a sweep's runs on this machine: vorn started directly, a given number
# at a time, each run as its run.sh would run it, with GNU parallel's job log.
import contextlib
import os
import re
import select
import shlex
import signal
import subprocess
import time

from .plan import SweepError

JOBLOG_HEADER = "Seq\tHost\tStarttime\tJobRuntime\tSend\tReceive\tExitval\tSignal\tCommand\n"
JOBS = re.compile(r"[+-]?\d+\Z|\d+%\Z")


def cores():
    # The processors this process may use, so a Slurm or taskset allocation is respected.
    return len(os.sched_getaffinity(0)) if hasattr(os, "sched_getaffinity") else os.cpu_count()


def job_count(text):
    """Runs at a time for -j, read as GNU parallel reads it: N, or +N, -N, N% of the cores
    (at least 1)."""
    if not JOBS.match(text) or (text[0].isdigit() and int(text.rstrip("%")) == 0):
        raise SweepError("-j %s: accepted are a whole number of runs at a time (1 or more), "
                         "+N or -N for N more or fewer than the %d cores, or N%% of them"
                         % (text, cores()))
    if text.endswith("%"):
        number = cores() * int(text[:-1]) // 100
    else:
        number = cores() + int(text) if text[0] in "+-" else int(text)
    return max(number, 1)


class Started:
    """One run of the sweep going on: vorn in RUN/out, its output in stdout.txt and
    stderr.txt there; its status goes to exit_status and to the job log when it ends."""

    def __init__(self, runs, seq, name, argv):
        self.seq, self.out = seq, os.path.join(runs, name, "out")
        self.command = "sh %s/%s/run.sh %s/%s/out" % ((shlex.quote(runs), shlex.quote(name)) * 2)
        self.start = time.time()
        try:
            os.mkdir(self.out)
            with open(os.path.join(self.out, "stdout.txt"), "w") as out, \
                    open(os.path.join(self.out, "stderr.txt"), "w") as err:
                self.proc = subprocess.Popen(argv, cwd=self.out, stdin=subprocess.DEVNULL,
                                             stdout=out, stderr=err)
        except OSError as error:
            raise SweepError("cannot start run %s: %s; finished runs are kept: run the same "
                             "command again to resume" % (name, error), 1) from None
        self.fd = os.pidfd_open(self.proc.pid)

    def finish(self, log):
        """Records the ended run and returns its status, a signal counting as sh counts it."""
        code = self.proc.wait()
        os.close(self.fd)
        status = code if code >= 0 else 128 - code
        with open(os.path.join(self.out, "exit_status"), "w") as f:
            f.write("%d\n" % status)
        log.write("%d\t:\t%10.3f\t%10.3f\t0\t0\t%d\t%d\t%s\n"
                  % (self.seq, self.start, time.time() - self.start, status, max(-code, 0),
                     self.command))
        log.flush()
        return status

    def stop(self):
        """Ends an interrupted run; it keeps no exit_status, so it runs again on resume."""
        self.proc.terminate()
        self.proc.wait()
        os.close(self.fd)


@contextlib.contextmanager
def signals_held():
    """SIGINT and SIGTERM wait for the end of the block, so that no run is started without
    being recorded, and stopped, by the sweep."""
    caught = []
    held = {sig: signal.signal(sig, lambda number, frame: caught.append(number))
            for sig in (signal.SIGINT, signal.SIGTERM)}
    try:
        yield
    finally:
        for sig, handler in held.items():
            signal.signal(sig, handler)
        for sig in caught:
            signal.raise_signal(sig)


def run_here(sweep, jobs, width, progress):
    """Runs the (name, argv) jobs, width at a time, in the order given."""
    queue = list(enumerate(jobs, 1))[::-1]
    running, poller = {}, select.poll()
    with open(sweep.path("joblog"), "w") as log:
        log.write(JOBLOG_HEADER)
        try:
            while queue or running:
                while queue and len(running) < width:
                    seq, (name, argv) = queue.pop()
                    with signals_held():
                        run = Started(sweep.path("runs"), seq, name, argv)
                        running[run.fd] = run
                    poller.register(run.fd, select.POLLIN)
                # A second without an ending run still lets the progress line fall due.
                for fd, _ in poller.poll(1000):
                    poller.unregister(fd)
                    progress.count(running.pop(fd).finish(log))
                progress.tick()
        finally:
            for run in running.values():
                run.stop()
