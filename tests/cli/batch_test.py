#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""calvex-convert --output-dir: a batch with a damaged file in the middle,
batches refused before anything starts, Ctrl-C in the third file, and the
machine-readable keys.
Run: python3 tests/cli/batch_test.py build/cli/calvex-convert"""

import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from avi_check import make_clip, playable_problems  # noqa: E402

CONVERT = os.path.realpath(sys.argv.pop(1) if len(sys.argv) > 1 else "calvex-convert")
WORK = tempfile.TemporaryDirectory(prefix="calvex-batch-")


def path(*names):
    return os.path.join(WORK.name, *names)


def setUpModule():
    for name in ("a.mp4", "b.mp4", "d.mp4", "e.mp4"):
        make_clip(path(name), 3)
    # A damaged file: the start of a clip whose index (at its end) is gone.
    with open(path("a.mp4"), "rb") as whole, open(path("c.mp4"), "wb") as damaged:
        damaged.write(whole.read(os.path.getsize(path("a.mp4")) // 2))
    for name in ("long1.mp4", "long2.mp4", "long3.mp4", "long4.mp4"):
        make_clip(path(name), 20, "1280x720")


def tearDownModule():
    WORK.cleanup()


def convert(*arguments):
    return subprocess.run([CONVERT, *arguments], capture_output=True, text=True, timeout=300)


class Batch(unittest.TestCase):
    def test_a_damaged_file_is_reported_and_the_rest_converted(self):
        out = path("out-damaged")
        os.mkdir(out)
        sources = [path(name) for name in ("a.mp4", "b.mp4", "c.mp4", "d.mp4", "e.mp4")]
        # Options after the sources as well as before them.
        result = convert("--output-dir", out, *sources, "--video", "mpeg4")
        self.assertEqual(result.returncode, 1, result.stderr)
        for name in ("a", "b", "d", "e"):
            self.assertEqual(playable_problems(os.path.join(out, name + ".avi")), [], name)
        summary = result.stderr[result.stderr.index("Summary:"):]
        self.assertRegex(summary, r"failed +\S*c\.mp4.*\n +Cannot open the source file")
        self.assertEqual(summary.count("completed  "), 4)
        self.assertIn("Completed 4 of 5 files (1 failed)", summary)
        self.assertIn("file 5 of 5", result.stderr)

        # --stop-on-error ends the batch there.
        result = convert("--stop-on-error", "--output-dir", path("out-damaged"), *sources[2:])
        self.assertEqual(result.returncode, 1)
        self.assertRegex(result.stderr, r"skipped +\S*d\.mp4\n +skipped +\S*e\.mp4")

    def test_batches_that_cannot_go_are_refused_before_anything_starts(self):
        out = path("out-refused")
        os.mkdir(out)
        older = os.path.join(out, "a.avi")
        with open(older, "w") as file:
            file.write("an older output")
        os.mkdir(path("other"))
        os.link(path("b.mp4"), path("other", "b.mp4"))
        os.link(path("d.mp4"), path("other", "d.avi"))
        for sources, directory, says in (
                ([path("a.mp4"), path("other", "b.mp4"), path("b.mp4")], out, "would both become"),
                ([path("a.mp4")], path("missing"), "is not a folder"),
                ([path("a.mp4")], path("a.mp4"), "is not a folder"),
                # An AVI source its output, by another name of its folder, would replace.
                ([path("other", "d.avi")], path("other", "..", "other"), "is one of the sources")):
            with self.subTest(directory=directory, says=says):
                result = convert("--output-dir", directory, *sources)
                self.assertEqual(result.returncode, 1)
                self.assertIn(says, result.stderr)
                self.assertIn("nothing converted", result.stderr)
        with open(older) as file:
            self.assertEqual(file.read(), "an older output")
        self.assertEqual(os.path.getsize(path("d.mp4")), os.path.getsize(path("other", "d.avi")))

    def test_ctrl_c_in_the_third_file_ends_the_batch_with_its_summary(self):
        out = path("out-stopped")
        os.mkdir(out)
        names = ["long1", "long2", "long3", "long4"]
        process = subprocess.Popen(
            [CONVERT, "--progress=machine", "--output-dir", out,
             *(path(name + ".mp4") for name in names)],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        keys = {}
        for line in process.stdout:
            key, _, value = line.strip().partition("=")
            keys[key] = value
            if key == "progress" and keys["index"] == "3" and float(keys["percent"]) >= 20:
                break
        self.assertEqual((keys["file"], keys["count"]), (path("long3.mp4"), "4"))
        self.assertRegex(keys["batch_eta"], r"^\d+$")
        started = time.monotonic()
        process.send_signal(signal.SIGINT)
        rest, errors = process.communicate(timeout=60)
        self.assertLess(time.monotonic() - started, 2.0, "the stop took too long")
        self.assertEqual(process.returncode, 130)
        self.assertIn("outcome=aborted", rest)
        for name in names[:3]:
            self.assertEqual(playable_problems(os.path.join(out, name + ".avi")), [], name)
        self.assertFalse(os.path.exists(os.path.join(out, "long4.avi")))
        self.assertRegex(errors, r"completed +\S*long2\.mp4 -> .*\n +aborted +\S*long3\.mp4 -> "
                                 r".*\n +skipped +\S*long4\.mp4\n")


if __name__ == "__main__":
    unittest.main(verbosity=2)
