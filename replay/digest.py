#!/usr/bin/env python3
"""Digests of the snapshot stream that a runner writes for an input log, every frame.

    digest.py check --room N --log LOG --golden FILE -- RUNNER...
        replays LOG and compares with the digests in FILE; names the first differing frame
    digest.py record-all --streams DIR -- RUNNER...
        rewrites the golden digests of every playthrough and every random stream in DIR
    digest.py compare --streams DIR [--jobs J] RUNNER RUNNER...
        replays every playthrough and random stream with each runner and names the first
        frame where a runner differs from the first one; a RUNNER is one argument that
        may carry an emulator prefix, e.g. "qemu-aarch64 -L /usr/aarch64-linux-gnu run"

The whole stream's digest is the SHA-256 of the snapshot lines, each ended by a line feed
(so it equals `vantrel-run --room N LOG | sha256sum` on Linux); a carriage return before
a line feed is dropped first, so that a runner under Windows gives the same digest. Each
frame also gets a CRC-32 of its line, which only serves to find the first differing frame;
the golden files keep its low 16 bits.
"""

import argparse
import concurrent.futures
import hashlib
import os
import shlex
import subprocess
import sys
import tempfile
import time
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GOLDEN = os.path.join(ROOT, "replay", "golden")
ROOMS = 16
FRAME_BITS = 16
FRAMES_PER_LINE = 64


class Replay:
    """What one runner wrote for one log: its digests, exit status and error output."""

    def __init__(self):
        self.whole = hashlib.sha256()
        self.frames = []
        self.status = 0
        self.errors = ""
        self.seconds = 0.0

    @property
    def sha256(self):
        return self.whole.hexdigest()

    def add(self, complete_lines):
        if b"\r" in complete_lines:
            complete_lines = complete_lines.replace(b"\r\n", b"\n")
        self.whole.update(complete_lines)
        self.frames.extend(zlib.crc32(line) for line in complete_lines.split(b"\n")[:-1])


def replay(command, room, log):
    """Runs `command --room N -` with the log on standard input, hashing as it reads."""
    result = Replay()
    start = time.monotonic()
    with open(log, "rb") as source, tempfile.TemporaryFile() as errors:
        process = subprocess.Popen(command + ["--room", str(room), "-"], stdin=source,
                                   stdout=subprocess.PIPE, stderr=errors)
        pending = b""
        while True:
            chunk = process.stdout.read(1 << 20)
            if not chunk:
                break
            pending += chunk
            end = pending.rfind(b"\n") + 1
            result.add(pending[:end])
            pending = pending[end:]
        if pending:
            result.add(pending + b"\n")
        result.status = process.wait()
        errors.seek(0)
        result.errors = errors.read().decode("utf-8", "replace")[-2000:]
    result.seconds = time.monotonic() - start
    return result


def snapshot_line(command, room, log, frame):
    """The snapshot of one frame (counted from 1), read again from a fresh replay."""
    with open(log, "rb") as source:
        process = subprocess.Popen(command + ["--room", str(room), "-"], stdin=source,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        line = b""
        for number, line in enumerate(process.stdout, 1):
            if number == frame:
                break
        process.stdout.close()
        process.wait()
    return line.rstrip(b"\r\n").decode("utf-8", "replace")


def first_difference(expected, actual):
    """The first frame (from 1) whose digests differ, or None when none does."""
    for number, (a, b) in enumerate(zip(expected, actual), 1):
        if a != b:
            return number
    if len(expected) != len(actual):
        return min(len(expected), len(actual)) + 1
    return None


def excerpt(expected, actual):
    """Where two snapshot lines part, with a little of each around it."""
    at = next((k for k, (a, b) in enumerate(zip(expected, actual)) if a != b),
              min(len(expected), len(actual)))
    start = max(0, at - 60)
    return ("  at character %d:\n    expected ...%s\n    actual   ...%s"
            % (at + 1, expected[start:at + 40], actual[start:at + 40]))


def input_line(log, number):
    with open(log, encoding="utf-8") as f:
        for k, line in enumerate(f, 1):
            if k == number:
                return line.rstrip("\r\n")
    return "(past the end of the log)"


def input_sha256(log):
    with open(log, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


# --- golden files ---------------------------------------------------------------------------

def short(frames):
    mask = (1 << FRAME_BITS) - 1
    return ["%04x" % (crc & mask) for crc in frames]


def write_golden(path, title, log, result):
    frames = short(result.frames)
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write("# Snapshot digests of %s, written by tools/digests.sh.\n" % title)
        f.write("input-sha256 %s\n" % input_sha256(log))
        f.write("frames %d\n" % len(frames))
        f.write("sha256 %s\n" % result.sha256)
        f.write("# Low 16 bits of each frame's CRC-32, %d frames a line:\n" % FRAMES_PER_LINE)
        for k in range(0, len(frames), FRAMES_PER_LINE):
            f.write("".join(frames[k:k + FRAMES_PER_LINE]) + "\n")


def read_golden(path):
    fields, frames = {}, []
    with open(path, encoding="ascii") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            if " " in line:
                key, value = line.split(" ", 1)
                fields[key] = value
            else:
                frames += [line[k:k + 4] for k in range(0, len(line), 4)]
    return fields, frames


def golden_logs(streams):
    """(golden file, title, room, log) for every playthrough and every random stream."""
    for room in range(ROOMS):
        yield (os.path.join(GOLDEN, "playthrough-%02d.txt" % room),
               "playthroughs/room-%02d.jsonl" % room, room,
               os.path.join(ROOT, "playthroughs", "room-%02d.jsonl" % room))
    for room in range(ROOMS):
        yield (os.path.join(GOLDEN, "stream-%02d.txt" % room),
               "the random play stream of room %d (replay/streams.py)" % room, room,
               os.path.join(streams, "room-%02d.jsonl" % room))


def check(args):
    if not os.path.exists(args.log):
        print("FAIL: no log %s (the random streams are written by the target random-streams)"
              % args.log)
        return 1
    fields, expected = read_golden(args.golden)
    if fields.get("input-sha256") != input_sha256(args.log):
        print("FAIL: %s is not the log whose digests %s holds: after changing a log on purpose,"
              " run bash tools/digests.sh" % (args.log, args.golden))
        return 1
    result = replay(args.runner, args.room, args.log)
    problems = []
    if result.status != 0:
        problems.append("the runner exited with status %d:\n%s" % (result.status, result.errors))
    if result.sha256 != fields.get("sha256"):
        frame = first_difference(expected, short(result.frames))
        problem = ("the snapshot stream of room %d differs from its golden digest %s (%d frames,"
                   " %s expected)" % (args.room, "from frame %d" % frame if frame else
                                      "though no frame digest differs", len(result.frames),
                                      fields.get("frames")))
        if frame:
            problem += ("\n  frame %d is the snapshot after line %d of %s:\n    %s"
                        % (frame, frame, args.log, input_line(args.log, frame)))
        problems.append(problem)
    for problem in problems:
        print("FAIL: " + problem)
    if problems:
        print("If the change of behaviour is meant, run bash tools/digests.sh and say in the"
              " commit which digests changed and why.")
        return 1
    print("ok: %s, %d frames, room %d, sha256 %s" % (args.log, len(result.frames), args.room,
                                                     result.sha256))
    return 0


def record_all(args):
    changed = 0
    for golden, title, room, log in golden_logs(args.streams):
        result = replay(args.runner, room, log)
        if result.status != 0:
            print("%s: the runner exited with status %d:\n%s" % (log, result.status, result.errors))
            return 1
        old = read_golden(golden) if os.path.exists(golden) else ({}, [])
        write_golden(golden, title, log, result)
        name = os.path.basename(golden)
        if old[0].get("sha256") == result.sha256 and old[0].get("input-sha256") == input_sha256(log):
            print("same     %s (%d frames)" % (name, len(result.frames)))
            continue
        changed += 1
        if not old[1]:
            print("new      %s (%d frames)" % (name, len(result.frames)))
        elif old[0].get("input-sha256") != input_sha256(log):
            print("new log  %s (%d frames)" % (name, len(result.frames)))
        else:
            frame = first_difference(old[1], short(result.frames))
            print("changed  %s from frame %s of %d" % (name, frame, len(result.frames)))
    print("%d of %d digests changed" % (changed, 2 * ROOMS))
    return 0


# --- the gate -------------------------------------------------------------------------------

def compare(args):
    start = time.monotonic()
    runners = [shlex.split(r) for r in args.runners]
    logs = [(title, room, log) for _, title, room, log in golden_logs(args.streams)]
    jobs = {}
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        for r, runner in enumerate(runners):
            for _, room, log in logs:
                jobs[r, log] = pool.submit(replay, runner, room, log)
    status, frames, seconds = 0, 0, [0.0] * len(runners)
    for title, room, log in logs:
        reference = jobs[0, log].result()
        frames += len(reference.frames)
        for r, runner in enumerate(runners):
            result = jobs[r, log].result()
            seconds[r] += result.seconds
            if result.status != 0:
                print("%s: %s exited with status %d:\n%s"
                      % (title, args.runners[r], result.status, result.errors), file=sys.stderr)
                status = 1
            elif result.sha256 != reference.sha256:
                frame = first_difference(reference.frames, result.frames)
                print("%s: %s differs from %s from frame %s"
                      % (title, args.runners[r], args.runners[0], frame), file=sys.stderr)
                if frame:
                    print(excerpt(snapshot_line(runners[0], room, log, frame),
                                  snapshot_line(runner, room, log, frame)), file=sys.stderr)
                status = 1
    print("replay time of each runner, summed over the logs:")
    for r, runner in enumerate(args.runners):
        print("  %-60s %7.1f s" % (runner, seconds[r]))
    if status == 0:
        print("determinism: %d logs, %d frames, every snapshot identical across %d builds (%.0f s)"
              % (len(logs), frames, len(runners), time.monotonic() - start))
    return status


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    one = commands.add_parser("check")
    one.add_argument("--room", type=int, required=True)
    one.add_argument("--log", required=True)
    one.add_argument("--golden", required=True)
    one.add_argument("runner", nargs="+")
    every = commands.add_parser("record-all")
    every.add_argument("--streams", required=True)
    every.add_argument("runner", nargs="+")
    gate = commands.add_parser("compare")
    gate.add_argument("--streams", required=True)
    gate.add_argument("--jobs", type=int, default=2)
    gate.add_argument("runners", nargs="+")
    args = parser.parse_args()
    if args.command == "compare":
        if len(args.runners) < 2:
            parser.error("compare needs at least two runners")
        return compare(args)
    return check(args) if args.command == "check" else record_all(args)


if __name__ == "__main__":
    sys.exit(main())
