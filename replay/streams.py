#!/usr/bin/env python3
"""Writes one long random play stream per room: input logs for vantrel-run.

    streams.py OUT_DIR            writes OUT_DIR/room-00.jsonl ... room-15.jsonl

Each stream is a sequence of attempts: walk from the spawn towards one of the room's cargo
(aimed blindly by a small table, reading nothing back), look down and press interact, then
random play (walking, turning, jumps, interactions, throws, aimed throws), then a command that
ends the attempt (retry, commit, undo, reset, next, or none). Angles, axes and frame times are
arbitrary floats: jittered, zero, subnormal, huge, negative, out of range, beyond the float
range. Lines use both the object and the array form of an input, keys in any order.

The output is the same on every Python 3: the generator has its own PRNG (splitmix64), uses
no maths library function, and writes every number as a 32-bit float in a spelling (mostly
the shortest decimal) that reads back to exactly that float, checked with exact arithmetic,
or as a decimal beyond the float range.
"""

import functools
import math
import os
import struct
import sys
from fractions import Fraction

SEED = 0x56414E5452454C21
ROOMS = 16
FRAME = 0.016666668
KEYS = ("dt", "mx", "mz", "yaw", "pitch", "jump", "interact", "throw",
        "commit", "reset", "retry", "undo", "next")
FLAGS = KEYS[5:]
FLOAT_MAX = 3.4028234663852886e38

# Where the nearest cargo of each room lies from its spawn when the room starts: heading,
# distance and height of its centre. Only a crude aim: missing makes the play more random.
CARGO_FROM_SPAWN = (
    ((0.588, 3.61, 1.225),),
    ((0.0, 3.5, 1.225),),
    ((0.588, 3.61, 1.225), (-1.212, 4.27, 0.275)),
    ((-0.675, 3.2, 0.56), (0.876, 3.91, 0.425), (-1.249, 6.32, 0.26)),
    ((0.0, 3.0, 0.24), (-0.852, 5.32, 0.28)),
    ((0.0, 3.5, 0.425), (-1.107, 4.47, 0.26)),
    ((0.0, 3.5, 0.425),),
    ((0.0, 2.0, 0.26), (1.107, 4.02, 0.425)),
    ((1.241, 4.02, 0.425), (-0.419, 9.09, 0.32)),
    ((1.107, 3.35, 0.425), (1.643, 5.51, 0.26), (-0.309, 9.55, 0.26)),
    ((1.172, 4.12, 0.425), (-0.33, 8.03, 0.32), (-0.326, 15.31, 0.56)),
    ((0.261, 1.55, 0.425), (-1.756, 3.26, 0.26), (1.571, 6.0, 0.32)),
    ((-1.456, 17.42, 0.29), (1.456, 17.42, 0.2), (-1.316, 17.88, 0.27)),
    ((1.222, 11.7, 0.425), (1.429, 14.14, 0.26), (-1.468, 19.4, 0.29)),
    ((0.0, 4.0, 0.425), (1.373, 15.3, 0.26), (-1.477, 21.39, 0.29)),
    ((0.0, 3.8, 0.425), (-1.223, 8.51, 0.29), (1.223, 8.51, 0.2)),
)


class Rng:
    """splitmix64: tiny, and fixed here rather than borrowed from the random module."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFFFFFFFFFF

    def next64(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & 0xFFFFFFFFFFFFFFFF
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & 0xFFFFFFFFFFFFFFFF
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & 0xFFFFFFFFFFFFFFFF
        return z ^ (z >> 31)

    def unit(self):
        return (self.next64() >> 11) * (1.0 / 9007199254740992.0)

    def uniform(self, low, high):
        return low + (high - low) * self.unit()

    def below(self, n):
        return self.next64() % n

    def between(self, low, high):
        return low + self.below(high - low + 1)

    def chance(self, p):
        return self.unit() < p

    def pick(self, weighted):
        """weighted: ((weight, value), ...); weights are whole numbers."""
        roll = self.below(sum(w for w, _ in weighted))
        for weight, value in weighted:
            if roll < weight:
                return value
            roll -= weight
        raise AssertionError("unreachable")


# --- exact float text ---------------------------------------------------------------------

def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def is_midpoint(double):
    """True when a double lies exactly halfway between two neighbouring float32s."""
    _, exponent = math.frexp(double)
    halves = math.ldexp(abs(double), 25 - max(exponent, -125))
    return halves == int(halves) and int(halves) % 2 == 1


def rounds_to(text, value):
    """True when the decimal text rounds to the float32 `value` (nearest, ties to even).

    The double nearest to the text rounds the same way as the text itself unless that
    double sits exactly on a float32 midpoint (no midpoint can lie strictly between the two,
    since midpoints are doubles); that rare case, and overflow, are settled exactly."""
    double = float(text)
    if abs(double) <= FLOAT_MAX and not is_midpoint(double):
        return f32(double) == value and (math.copysign(1.0, double) == math.copysign(1.0, value))
    exact = Fraction(text)
    if (exact < 0) != (value < 0):
        return False
    magnitude, target = abs(exact), Fraction(abs(value))
    mantissa, exponent = math.frexp(abs(value))
    ulp = Fraction(2) ** (max(exponent, -125) - 24)
    # Just below a power of two the floats are twice as dense.
    below = ulp / 2 if mantissa == 0.5 and exponent > -125 else ulp
    gap = ulp if magnitude >= target else below
    error = abs(magnitude - target)
    if error != gap / 2:
        return error < gap / 2
    return struct.unpack("<I", struct.pack("<f", value))[0] % 2 == 0


@functools.lru_cache(maxsize=65536)
def shortest_nonzero(value):
    # More digits are never farther from the value, so the shortest is found by bisection.
    low, high = 1, 9
    while low < high:
        middle = (low + high) // 2
        if rounds_to("%.*g" % (middle, value), value):
            high = middle
        else:
            low = middle + 1
    text = "%.*g" % (low, value)
    assert rounds_to(text, value), value
    return text


def shortest(value):
    """The shortest %g text of a float32 that any correct reader turns back into it."""
    if value == 0.0:
        return "-0.0" if math.copysign(1.0, value) < 0 else "0.0"
    return shortest_nonzero(value)


def number(rng, value):
    """A float32 in one of the spellings JSON allows, read back exactly."""
    assert f32(value) == value, value
    text = shortest(value)
    style = rng.below(20)
    if style == 0 and "e" in text:
        return text.replace("e", "E")
    if style == 1:
        return "%.9e" % value             # ten digits always read back exactly
    if style == 2 and value == int(value) and 0 < abs(value) < 1e9:
        return "%d" % value               # an integer is a float field's value too
    return text


# --- values -------------------------------------------------------------------------------

def wild_float(rng):
    """Any float32 magnitude from the smallest subnormal to the largest finite one."""
    exponent = rng.between(-149, 127)
    if exponent >= -126:
        value = math.ldexp(rng.between(1 << 23, (1 << 24) - 1), exponent - 23)
    else:
        value = math.ldexp(rng.between(1, (1 << 23) - 1), -149)
    return -value if rng.chance(0.5) else value


def frame_time(rng):
    kind = rng.pick(((160, "frame"), (6, "zero"), (5, "tiny"), (5, "long"), (2, "negative"),
                     (1, "huge"), (1, "beyond")))
    if kind == "frame":
        return f32(FRAME * rng.uniform(0.4, 1.6))
    if kind == "zero":
        return rng.pick(((1, 0.0), (1, -0.0), (2, None)))
    if kind == "tiny":
        return f32(math.ldexp(rng.uniform(1.0, 2.0), rng.between(-149, -10)))
    if kind == "long":
        return f32(rng.uniform(0.04, 0.35))
    if kind == "negative":
        return f32(-rng.uniform(0.0, 1.0))
    if kind == "huge":
        return abs(wild_float(rng))
    return "1e39"


def heading(rng, base):
    """`base` as sent: plain, a whole number of turns away, or replaced by a wild value."""
    kind = rng.pick(((70, "plain"), (20, "turns"), (6, "wild"), (2, "extreme"), (2, "beyond")))
    if kind == "plain":
        return f32(base)
    if kind == "turns":
        return f32(base + 2.0 * math.pi * rng.between(-2000, 2000))
    if kind == "wild":
        return wild_float(rng)
    if kind == "extreme":
        return rng.pick(((1, FLOAT_MAX), (1, -FLOAT_MAX), (1, f32(math.ldexp(1.0, -149)))))
    return rng.pick(((1, "1e39"), (1, "-1e39")))


def pitch_value(rng, base):
    if rng.chance(0.03):
        return rng.pick(((3, wild_float(rng)), (1, f32(1.45)), (1, f32(-1.45)), (1, "-1e39")))
    return f32(base)


def axis(rng, base):
    if rng.chance(0.02):
        return rng.pick(((2, f32(rng.uniform(-4.0, 4.0))), (1, wild_float(rng)), (1, "1e39")))
    return f32(max(-1.0, min(1.0, base)))


# --- play ---------------------------------------------------------------------------------

class Pose:
    def __init__(self):
        self.yaw = 0.0
        self.pitch = 0.0
        self.mx = 0.0
        self.mz = 0.0


def frame(rng, pose, **flags):
    fields = {"dt": frame_time(rng), "mx": axis(rng, pose.mx), "mz": axis(rng, pose.mz),
              "yaw": heading(rng, pose.yaw), "pitch": pitch_value(rng, pose.pitch)}
    fields.update(flags)
    return fields


def approach(rng, room):
    """Walk from the spawn towards a cargo, stop short, look down at it, press interact."""
    pose = Pose()
    if rng.chance(0.8):
        targets = CARGO_FROM_SPAWN[room]
        yaw, distance, height = targets[rng.pick(tuple((2 ** (len(targets) - k), k)
                                                      for k in range(len(targets))))]
    else:
        yaw, distance, height = rng.uniform(-3.2, 3.2), rng.uniform(0.5, 8.0), 0.4
    standoff = rng.uniform(0.7, 1.7)
    pose.yaw = yaw + rng.uniform(-0.12, 0.12)
    pose.pitch = max(-1.4, -0.8 * (1.6 - height) / standoff + rng.uniform(-0.15, 0.15))
    walk = int(max(0.0, distance - standoff) * 12.0 * rng.uniform(0.85, 1.15))
    # A second press puts the cargo down again, or picks it up after a miss.
    presses = (walk + rng.between(2, 8), walk + rng.between(20, 40) if rng.chance(0.3) else -1)
    out = []
    for k in range(walk + rng.between(45, 70)):
        pose.mz = 1.0 if k < walk else 0.0
        out.append(frame(rng, pose, interact=k in presses))
    return pose, out


def wander(rng, pose):
    """A stretch of walking and turning with sparse presses."""
    pose.mx, pose.mz = rng.uniform(-1.0, 1.0), rng.uniform(-1.0, 1.0)
    turn = rng.uniform(-0.06, 0.06)
    out = []
    for _ in range(rng.between(20, 160)):
        pose.yaw += turn
        pose.pitch = max(-1.45, min(1.45, pose.pitch + rng.uniform(-0.05, 0.05)))
        out.append(frame(rng, pose, jump=rng.chance(0.02), interact=rng.chance(0.02),
                         throw=rng.chance(0.01)))
    return out


def aimed_throw(rng, pose):
    """Stand, raise the view, throw: a throw preview while aiming, then a flight."""
    pose.mx = pose.mz = 0.0
    pose.yaw += rng.uniform(-3.2, 3.2)
    pose.pitch = rng.uniform(-0.2, 0.9)
    out = [frame(rng, pose) for _ in range(rng.between(5, 40))]
    out.append(frame(rng, pose, throw=True))
    out += [frame(rng, pose) for _ in range(rng.between(20, 90))]
    return out


def look_and_grab(rng, pose):
    """Look down, step a little, press interact: pick up, put down, operate."""
    pose.pitch = rng.uniform(-1.2, -0.2)
    pose.yaw += rng.uniform(-1.0, 1.0)
    pose.mx, pose.mz = rng.uniform(-0.4, 0.4), rng.uniform(-0.2, 1.0)
    out = []
    for _ in range(rng.between(10, 60)):
        out.append(frame(rng, pose, interact=rng.chance(0.08)))
    return out


def run_long(rng, pose):
    """Long frames straight on: reaches walls, and the time limit that commits by itself."""
    pose.mx, pose.mz = 0.0, 1.0
    return [frame(rng, pose, interact=rng.chance(0.02)) for _ in range(rng.between(100, 900))]


def attempt(rng, room):
    pose, out = approach(rng, room)
    if rng.chance(0.5):
        out += aimed_throw(rng, pose)
    for _ in range(rng.between(1, 6)):
        step = rng.pick(((5, wander), (3, aimed_throw), (4, look_and_grab), (1, run_long)))
        out += step(rng, pose)
    end = rng.pick(((36, "retry"), (30, "commit"), (8, "undo"), (5, "reset"), (3, "next"),
                    (2, "jump"), (16, None)))
    if end is not None:
        out.append(frame(rng, pose, **{end: True}))
    return out


# --- lines --------------------------------------------------------------------------------

def value_text(rng, value):
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, str):
        return value
    return number(rng, value)


def line(rng, fields):
    present = {k: v for k, v in fields.items() if v is not None and v is not False}
    if rng.chance(0.08):
        values = [fields.get(k) for k in KEYS]
        while values and (values[-1] is None or values[-1] is False):
            values.pop()
        values = [(0.0 if k < 5 else False) if v is None else v for k, v in enumerate(values)]
        return "[" + ",".join(value_text(rng, v) for v in values) + "]"
    keys = [k for k in KEYS if k in present]
    if rng.chance(0.1):
        for k in range(len(keys) - 1, 0, -1):
            j = rng.below(k + 1)
            keys[k], keys[j] = keys[j], keys[k]
    members = ['"%s":%s' % (k, value_text(rng, present[k])) for k in keys]
    if rng.chance(0.02):
        members.insert(rng.below(len(members) + 1), '"note":{"x":[1,{"y":null}],"s":"\\u00e9"}')
    if rng.chance(0.02):
        members += ['"%s":false' % f for f in FLAGS if f not in present][:2]
    separator = ", " if rng.chance(0.05) else ","
    text = "{" + separator.join(members) + "}"
    return text + "\r" if rng.chance(0.01) else text


def stream(room):
    rng = Rng(SEED + 0x1000193 * room)
    frames = rng.between(4000, 8000)
    fields = []
    while len(fields) < frames:
        fields += attempt(rng, room)
    return [line(rng, f) for f in fields[:frames]]


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    os.makedirs(sys.argv[1], exist_ok=True)
    for room in range(ROOMS):
        path = os.path.join(sys.argv[1], "room-%02d.jsonl" % room)
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write("\n".join(stream(room)) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
