#!/usr/bin/env python3
"""Every snapshot of every frame from one runner must be byte-identical to another's.

    compare_runners.py --reference CMD --candidate CMD [--random N] [--known-different NAME...]

CMD is a runner's command line, with an emulator in front for a runner built for another
platform (for example "wine build-win/tools/vantrel-run.exe"). The streams are the sixteen
playthroughs and N random play streams (seeded, so the same every run). A stream named with
--known-different is reported but does not fail the run: a difference that waits on a fix
elsewhere, to be dropped from the list once that fix lands.
"""

import argparse
import hashlib
import json
import random
import shlex
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
FRAME = 1.0 / 60.0


def random_stream(seed):
    """A room and 900 frames of random play: walking, turning, jumping, carrying, throwing,
    committing loops and restarting, with some odd frame times."""
    rng = random.Random(seed)
    room = seed % 16
    lines, mx, mz, yaw, pitch = [], 0.0, 0.0, rng.uniform(-3.2, 3.2), 0.0
    for _ in range(900):
        if rng.random() < 0.05:
            mx, mz = rng.choice((-1.0, 0.0, 1.0, rng.uniform(-1, 1))), rng.choice((-1.0, 0.0, 1.0, 0.7))
        yaw += rng.gauss(0.0, 0.05)
        pitch = min(1.6, max(-1.6, pitch + rng.gauss(0.0, 0.03)))
        dt = FRAME if rng.random() < 0.9 else rng.choice((0.0, 0.004, 0.05, 0.1, 0.25))
        frame = {"dt": round(dt, 9), "mx": round(mx, 4), "mz": round(mz, 4), "yaw": round(yaw, 5),
                 "pitch": round(pitch, 5)}
        for flag, chance in (("jump", 0.02), ("interact", 0.03), ("throw", 0.01), ("commit", 0.003),
                             ("retry", 0.002), ("undo", 0.001), ("reset", 0.001), ("next", 0.002)):
            if rng.random() < chance:
                frame[flag] = True
        lines.append(json.dumps(frame, separators=(",", ":")))
    return room, ("\n".join(lines) + "\n").encode("utf-8")


def streams(random_count):
    for room in range(16):
        log = ROOT / ("playthroughs/room-%02d.jsonl" % room)
        yield "room-%02d" % room, room, log.read_bytes()
    for seed in range(random_count):
        room, text = random_stream(seed)
        yield "random-%02d" % seed, room, text


def run(command, room, text):
    return subprocess.run(command + ["--room", str(room)], input=text, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL).stdout


def first_difference(reference, candidate):
    for number, (a, b) in enumerate(zip(reference.split(b"\n"), candidate.split(b"\n")), start=1):
        if a != b:
            return "frame %d" % number
    return "frame %d (one output is shorter)" % (min(reference.count(b"\n"), candidate.count(b"\n")) + 1)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--reference", required=True)
    parser.add_argument("--candidate", required=True)
    parser.add_argument("--random", type=int, default=8)
    parser.add_argument("--known-different", nargs="*", default=[])
    args = parser.parse_args()
    reference, candidate = shlex.split(args.reference), shlex.split(args.candidate)
    known = set(args.known_different)
    failed, identical, waiting = [], 0, []
    for name, room, text in streams(args.random):
        expected, actual = run(reference, room, text), run(candidate, room, text)
        if not expected:
            failed.append(name)
            print("%s: the reference wrote nothing" % name)
        elif hashlib.sha256(expected).digest() == hashlib.sha256(actual).digest():
            identical += 1
            if name in known:
                print("%s: now identical; drop it from the known differences" % name)
        else:
            where = first_difference(expected, actual)
            if name in known:
                waiting.append(name)
                print("%s: differs from %s on (known)" % (name, where))
            else:
                failed.append(name)
                print("%s: differs from %s on" % (name, where))
    total = 16 + args.random
    print("%s: %d of %d streams identical to %s every frame%s" % (
        args.candidate, identical, total, args.reference,
        "; known to differ: " + " ".join(waiting) if waiting else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
