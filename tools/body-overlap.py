#!/usr/bin/env python3
"""Lists the frames of a run in which the player's body reaches into a wall or a closed door.

    tools/body-overlap.py [--depth 0.01] [RUN_FILE | -]

RUN_FILE holds one snapshot per line, as vantrel-run writes them (standard input when absent
or -). The body is the player's column: feet at `pos`, 1.75 high, a rounded footprint of
radius 0.3. A frame is listed when the body overlaps a box by more than the depth along every
direction at once (vertically and horizontally). Exit status 1 when any frame is listed.
"""

import argparse
import json
import math
import sys

BODY_HEIGHT = 1.75
BODY_RADIUS = 0.3


def depth_into(feet, pos, size):
    """How far the body reaches into the box: the smaller of its vertical and horizontal
    overlaps, negative when apart."""
    bottom, top = pos[1] - size[1] / 2, pos[1] + size[1] / 2
    vertical = min(feet[1] + BODY_HEIGHT, top) - max(feet[1], bottom)
    dx = abs(feet[0] - pos[0]) - size[0] / 2
    dz = abs(feet[2] - pos[2]) - size[2] / 2
    distance = math.hypot(max(dx, 0.0), max(dz, 0.0)) + min(max(dx, dz), 0.0)
    return min(vertical, BODY_RADIUS - distance)


def solid_boxes(snapshot):
    for i, wall in enumerate(snapshot["walls"]):
        yield "wall %d" % i, wall["pos"], wall["size"]
    for i, door in enumerate(snapshot["doors"]):
        if not door["open"]:
            yield "closed door %d" % i, door["pos"], door["size"]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--depth", type=float, default=0.01)
    ap.add_argument("run", nargs="?", default="-")
    args = ap.parse_args()
    source = sys.stdin if args.run == "-" else open(args.run, encoding="utf-8")
    frames = found = 0
    for number, line in enumerate(source, 1):
        if not line.strip():
            continue
        frames += 1
        snapshot = json.loads(line)
        feet = snapshot["player"]["pos"]
        for name, pos, size in solid_boxes(snapshot):
            depth = depth_into(feet, pos, size)
            if depth > args.depth:
                found += 1
                print("frame %d (t %.4f): player at (%s) is %.4f m into %s" %
                      (number, snapshot["time"], ", ".join("%.7g" % v for v in feet), depth, name))
    print("%d frames, %d overlaps deeper than %g m" % (frames, found, args.depth), file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
