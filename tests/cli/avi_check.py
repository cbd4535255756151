# SPDX-License-Identifier: GPL-2.0-or-later
"""Generated sources, and checks of an AVI file that a stopped job left
behind, with the ffmpeg and ffprobe programs and a walk over the file's RIFF
chunks."""

import os
import struct
import subprocess


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, timeout=120)


def make_clip(path, seconds, size="640x360"):
    """Writes an H.264 + AAC clip of test pictures and a tone; returns path."""
    subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y",
                    "-f", "lavfi", "-i", f"testsrc2=duration={seconds}:size={size}:rate=25",
                    "-f", "lavfi", "-i", f"sine=duration={seconds}", "-c:v", "libx264",
                    "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", path],
                   check=True)
    return path


def riff_problems(path):
    """What is wrong with the file's RIFF layout: each RIFF's size must be
    written (the header finished) and an index must be there, the old 'idx1'
    or OpenDML's 'indx'. An empty list when all is well."""
    with open(path, "rb") as avi:
        data = avi.read()
    problems, ids, offset = [], set(), 0
    while offset + 12 <= len(data):
        tag, size, form = struct.unpack_from("<4sI4s", data, offset)
        if tag != b"RIFF" or form not in (b"AVI ", b"AVIX"):
            return problems + [f"no RIFF chunk at byte {offset}"]
        end = offset + 8 + size
        if size < 4 or end > len(data):
            return problems + [f"the RIFF size at byte {offset} is not written ({size})"]
        ids |= chunk_ids(data, offset + 12, end)
        offset = end + (size & 1)
    if offset != len(data):
        problems.append(f"{len(data) - offset} bytes after the last RIFF chunk")
    if b"idx1" not in ids and b"indx" not in ids:
        problems.append("no index ('idx1' or 'indx')")
    return problems


def chunk_ids(data, start, end):
    """The ids of the chunks between start and end, and of those inside their
    LIST chunks, the pictures and sound of 'movi' left out."""
    ids, offset = set(), start
    while offset + 8 <= end:
        tag, size = struct.unpack_from("<4sI", data, offset)
        ids.add(tag)
        if tag == b"LIST" and data[offset + 8:offset + 12] != b"movi":
            ids |= chunk_ids(data, offset + 12, min(offset + 8 + size, end))
        offset += 8 + size + (size & 1)
    return ids


def stream_ends(path):
    """The end time of each stream's last packet, by its codec type."""
    result = run("ffprobe", "-v", "error", "-show_entries",
                 "stream=index,codec_type:packet=stream_index,pts_time,dts_time,duration_time",
                 "-of", "compact=p=0:nk=0", path)
    kinds, ends = {}, {}
    for line in result.stdout.splitlines():
        fields = dict(field.split("=", 1) for field in line.split("|") if "=" in field)
        if "codec_type" in fields:
            kinds[fields["index"]] = fields["codec_type"]
        elif "stream_index" in fields:
            time = fields["pts_time"] if fields["pts_time"] != "N/A" else fields["dts_time"]
            if time == "N/A":
                continue
            duration = float(fields["duration_time"]) if fields["duration_time"] != "N/A" else 0
            index = fields["stream_index"]
            ends[index] = max(ends.get(index, 0.0), float(time) + duration)
    return {kinds.get(index, index): end for index, end in ends.items()}


def playable_problems(path, sound=True):
    """What is wrong with an AVI file left by a stopped job; empty when it is
    indexed, decodes without error, has pictures and (when sound) its sound
    ends within half a second of its pictures."""
    if not os.path.isfile(path):
        return ["no file"]
    problems = riff_problems(path)
    duration = run("ffprobe", "-v", "error", "-show_entries", "format=duration",
                   "-of", "csv=p=0", path)
    if duration.returncode != 0 or duration.stderr or not is_number(duration.stdout):
        problems.append(f"ffprobe reads no duration: {duration.stdout.strip()} "
                        f"{duration.stderr.strip()}")
    decoded = run("ffmpeg", "-nostdin", "-v", "error", "-xerror", "-i", path, "-f", "null", "-")
    if decoded.returncode != 0 or decoded.stderr:
        problems.append(f"ffmpeg cannot decode it: {decoded.stderr.strip()[:300]}")
    ends = stream_ends(path)
    if not ends.get("video"):
        problems.append(f"no picture (streams end at {ends})")
    elif sound and abs(ends.get("audio", 0) - ends["video"]) > 0.5:
        problems.append(f"the sound ends at {ends.get('audio')} s, the pictures at "
                        f"{ends['video']} s")
    return problems


def is_number(text):
    try:
        return float(text) > 0
    except ValueError:
        return False
