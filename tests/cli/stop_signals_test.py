#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""calvex-convert stopped by signals: SIGTERM and SIGHUP abort the job as
Ctrl-C does and leave an indexed, playable AVI; a second signal kills it;
inherited "ignore" of SIGINT and SIGHUP stays.
Run: python3 tests/cli/stop_signals_test.py build/cli/calvex-convert"""

import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from avi_check import make_clip, playable_problems, riff_problems  # noqa: E402

CONVERT = os.path.realpath(sys.argv.pop(1) if len(sys.argv) > 1 else "calvex-convert")
WORK = tempfile.TemporaryDirectory(prefix="calvex-stop-")
SOURCE = os.path.join(WORK.name, "source.mp4")


def setUpModule():
    make_clip(SOURCE, 30, "1280x720")


def tearDownModule():
    WORK.cleanup()


def handles(pid, signal_number):
    """True once process pid has a handler for the signal (its SigCgt mask)."""
    try:
        with open(f"/proc/{pid}/status") as status:
            caught = next(line for line in status if line.startswith("SigCgt:"))
    except (OSError, StopIteration):
        return False
    return bool(int(caught.split()[1], 16) >> (signal_number - 1) & 1)


class Job:
    """One calvex-convert run, started through the given command prefix."""

    def __init__(self, output, *options, prefix=()):
        self.output = os.path.join(WORK.name, output)
        self.process = subprocess.Popen(
            [*prefix, CONVERT, "--progress=machine", *options, SOURCE, self.output],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)

    def wait_for_progress(self):
        """Reads stdout until the job reports it runs."""
        for line in self.process.stdout:
            if line.strip() == "progress=continue":
                return
        raise AssertionError("the job ended before it reported any progress")

    def stop(self, number):
        """Sends the signal; the exit status and the seconds from the signal
        to the exit."""
        start = time.monotonic()
        self.process.send_signal(number)
        with self.process.stdout:
            self.process.stdout.read()
        status = self.process.wait(timeout=60)
        return status, time.monotonic() - start


class StopSignals(unittest.TestCase):
    def assert_stopped_cleanly(self, signal_number, status, seconds, output):
        self.assertEqual(status, 128 + signal_number)
        self.assertLess(seconds, 2.0, "the stop took too long")
        self.assertEqual(playable_problems(output), [])

    def test_sighup_aborts_the_job_and_leaves_an_indexed_avi(self):
        # Stops at random moments, on the engine: tests/integration (Aborts).
        job = Job("SIGHUP.avi", "--video", "mpeg4")
        job.wait_for_progress()
        time.sleep(0.5)
        status, seconds = job.stop(signal.SIGHUP)
        self.assert_stopped_cleanly(signal.SIGHUP, status, seconds, job.output)

    def test_a_stop_in_a_sized_jobs_analysis_keeps_the_older_output(self):
        # The first half of the bar is the analysis, which writes no file; the
        # second half writes it, and a stop there leaves a playable part.
        for stop_past, number in ((1, signal.SIGINT), (60, signal.SIGTERM)):
            with self.subTest(stop_past=stop_past):
                job = Job(f"sized-{stop_past}.avi", "--target-size", "8M")
                with open(job.output, "w") as file:
                    file.write("an older output")
                percent = 0
                for line in job.process.stdout:
                    if line.startswith("percent="):
                        percent = int(line.split("=")[1])
                        if percent >= stop_past:
                            break
                self.assertLess(percent, 50 if stop_past < 50 else 100)
                status, _ = job.stop(number)
                self.assertEqual(status, 128 + number)
                if stop_past < 50:
                    with open(job.output) as file:
                        self.assertEqual(file.read(), "an older output")
                else:
                    self.assertEqual(playable_problems(job.output), [])

    def test_a_signal_before_the_job_started_writes_nothing(self):
        older = os.path.join(WORK.name, "early.avi")
        with open(older, "w") as file:
            file.write("an older output")
        job = Job("early.avi")
        deadline = time.monotonic() + 10
        while not handles(job.process.pid, signal.SIGTERM) and time.monotonic() < deadline:
            time.sleep(0.001)
        status, _ = job.stop(signal.SIGTERM)
        self.assertEqual(status, 143)
        with open(older) as file:
            self.assertEqual(file.read(), "an older output")

    def test_a_second_signal_kills_it_at_once(self):
        # x264 at its slowest holds many pictures: the first signal's orderly
        # stop takes long enough for the second to come during it.
        for first, second in ((signal.SIGTERM, signal.SIGTERM), (signal.SIGINT, signal.SIGHUP)):
            with self.subTest(first=first.name, second=second.name):
                job = Job(f"twice-{first.name}.avi", "--video", "libx264", "--preset", "veryslow")
                job.wait_for_progress()
                job.process.send_signal(first)
                time.sleep(0.1)
                status, seconds = job.stop(second)
                self.assertEqual(status, -second, "not killed by the second signal")
                self.assertLess(seconds, 1.0)
                # Killed, it left an unfinished file: the check sees that.
                self.assertNotEqual(riff_problems(job.output), [])

    def test_an_inherited_sigint_ignore_stays(self):
        job = Job("ignored-int.avi", "--video", "mpeg4",
                  prefix=("bash", "-c", "trap '' INT; exec \"$0\" \"$@\""))
        job.wait_for_progress()
        self.assertFalse(handles(job.process.pid, signal.SIGINT))
        status, _ = job.stop(signal.SIGINT)
        self.assertEqual(status, 0, "the job did not complete")
        self.assertEqual(playable_problems(job.output), [])

    def test_sighup_under_nohup_stays_ignored(self):
        job = Job("nohup.avi", "--video", "mpeg4", prefix=("nohup",))
        job.wait_for_progress()
        status, _ = job.stop(signal.SIGHUP)
        self.assertEqual(status, 0, "the job did not complete")
        self.assertEqual(playable_problems(job.output), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
