#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""calvex-convert stopped at random moments, 20 times: half the jobs encode
MPEG-4 part 2, half H.264 (libx264), from a generated 1080p H.264 + AAC clip;
half the stops are Ctrl-C (SIGINT), half SIGTERM. Every file left must be
indexed, decode without error, have pictures and sound that ends within half
a second of them; a stop before the first picture leaves no file. Each stop
must end the program within 2 s. The moments come from a seeded generator:
CALVEX_STOP_SEED=N repeats a run.
Run: python3 tests/cli/random_stops_test.py build/cli/calvex-convert"""

import os
import random
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from avi_check import playable_problems  # noqa: E402

RUNS = 20
LONGEST_STOP = 2.0  # seconds from the signal to the exit


def make_source(path):
    subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y",
                    "-f", "lavfi", "-i", "testsrc2=duration=40:size=1920x1080:rate=25",
                    "-f", "lavfi", "-i", "sine=duration=40", "-c:v", "libx264",
                    "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", path],
                   check=True)


def stop_once(convert, source, output, encoder, number, delay):
    """Starts a job, sends the signal delay seconds later; the exit status and
    the seconds from the signal to the exit."""
    start = time.monotonic()
    process = subprocess.Popen([convert, "--quiet", "--video", encoder, source, output],
                               stderr=subprocess.PIPE, text=True)
    time.sleep(max(0.0, start + delay - time.monotonic()))
    signalled = time.monotonic()
    process.send_signal(number)
    try:
        _, errors = process.communicate(timeout=30)
    except subprocess.TimeoutExpired:
        process.kill()
        process.communicate()
        return None, time.monotonic() - signalled, "did not end within 30 s"
    return process.returncode, time.monotonic() - signalled, errors.strip()


def problems_of(status, seconds, number, output):
    problems = []
    if seconds >= LONGEST_STOP:
        problems.append(f"the stop took {seconds:.2f} s")
    if not os.path.exists(output):
        # Stopped before the first picture: nothing may be left, and the
        # status must say the job did not complete.
        if status in (0, None):
            problems.append(f"no file, yet status {status}")
        return problems
    if status != 128 + number:
        problems.append(f"status {status}, not {128 + number}")
    return problems + playable_problems(output)


def main():
    convert = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else "calvex-convert")
    seed = int(os.environ.get("CALVEX_STOP_SEED", "20240611"))
    print(f"seed {seed} (CALVEX_STOP_SEED={seed} repeats this run)", flush=True)
    generator = random.Random(seed)
    cases = [(encoder, number) for encoder in ("mpeg4", "libx264")
             for number in (signal.SIGINT, signal.SIGTERM)] * (RUNS // 4)
    generator.shuffle(cases)
    failures, stop_times = 0, []
    with tempfile.TemporaryDirectory(prefix="calvex-random-stops-") as work:
        source = os.path.join(work, "source 1080p.mp4")
        make_source(source)
        # Two stops at once after the start, before any picture can exist.
        runs = [(encoder, number, 0.0) for encoder, number in
                (("mpeg4", signal.SIGINT), ("libx264", signal.SIGTERM))]
        runs += [(encoder, number, round(generator.uniform(0.15, 3.0), 3))
                 for encoder, number in cases]
        for index, (encoder, number, delay) in enumerate(runs):
            output = os.path.join(work, f"out {index}.avi")
            status, seconds, said = stop_once(convert, source, output, encoder, number, delay)
            stop_times.append(seconds)
            problems = problems_of(status, seconds, number, output)
            left = "file left" if os.path.exists(output) else "no file"
            print(f"{index:2}: {encoder:7} {number.name:7} at {delay:5.3f} s: status {status}, "
                  f"stopped in {seconds:.2f} s, {left}" +
                  ("" if not problems else f"; FAILED: {problems}; it said: {said[-300:]}"),
                  flush=True)
            failures += bool(problems)
            if os.path.exists(output):
                os.remove(output)
    print(f"stops took {min(stop_times):.2f} to {max(stop_times):.2f} s "
          f"(median {sorted(stop_times)[len(stop_times) // 2]:.2f} s)")
    print(f"{failures} of {len(runs)} stops failed" if failures else f"all {len(runs)} stops clean")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
