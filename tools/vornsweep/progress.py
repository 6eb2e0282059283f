# How far a sweep's runs are, on standard error: one line rewritten in place on
# a terminal, plain lines at a bounded pace in a log file.
import sys
import time

from .plan import PROG

QUIET = 10.0  # seconds at least between two lines off a terminal
LOUD = 60.0  # seconds at most without a line while runs go on
REDRAW = 0.5  # seconds between redraws on a terminal


def duration(seconds):
    seconds = int(round(seconds))
    return "%d:%02d:%02d" % (seconds // 3600, seconds // 60 % 60, seconds % 60)


class Progress:
    """Runs done of total, failures, elapsed time and the time left at the pace so far."""

    def __init__(self, total, stream=None, clock=time.monotonic):
        self.stream, self.clock = stream or sys.stderr, clock
        self.terminal = self.stream.isatty()
        self.total, self.done, self.failed = total, 0, 0
        self.start = self.last = clock()
        self.shown = (0, 0)

    def update(self, done, failed):
        self.done, self.failed = done, failed
        self.tick()

    def counts(self):
        return self.done, self.failed

    def count(self, status):
        self.update(self.done + 1, self.failed + (status != 0))

    def tick(self):
        now = self.clock()
        since = now - self.last
        if self.terminal:
            due = since >= REDRAW
        else:
            due = since >= LOUD or (since >= QUIET and (self.done, self.failed) != self.shown)
        if due:
            self.show(now)

    def show(self, now):
        elapsed = now - self.start
        left = ("about %s left" % duration(elapsed * (self.total - self.done) / self.done)
                if self.done else "time left unknown")
        text = "%s: %d of %d runs done, %d failed, %s elapsed, %s" % (
            PROG, self.done, self.total, self.failed, duration(elapsed), left)
        self.stream.write("\r%s\033[K" % text if self.terminal else text + "\n")
        self.stream.flush()
        self.last, self.shown = now, (self.done, self.failed)

    def finish(self):
        """On a terminal the last count stays on its own line."""
        if self.terminal:
            self.show(self.clock())
            self.stream.write("\n")
