"""Drives the headless runner through a pipe, one frame per line, like a player would.

The bot sends one Input JSON line per frame (dt 1/60 s), reads the Snapshot line the runner
writes back and keeps every line it sent, so that the whole session can be stored and replayed.
"""

import json
import math
import subprocess
import sys

DT_TEXT = "0.016666668"   # 1/60 s as the nearest 32-bit float, written shortest
STEP = 5.0 / 60.0         # distance walked in one frame (two ticks at 5 m/s)
EYE = 1.6
REACH = 2.5

PICKUP_PROMPT = "E — взять: "
PLACE_PROMPT = "ЛКМ — бросить по пунктиру · E — положить груз"
DOCK_PROMPT = "E — подключить батарею · "


class BotError(Exception):
    pass


def fmt(v):
    """Short, fixed text for a float: six decimals are far finer than the game needs."""
    v = round(float(v), 6)
    if v == 0.0:
        v = 0.0
    return repr(v)


def wrap_angle(a):
    return math.atan2(math.sin(a), math.cos(a))


def heading(dx, dz):
    """Yaw that faces along (dx, dz): facing is (-sin yaw, -cos yaw)."""
    return math.atan2(-dx, -dz)


class Bot:
    def __init__(self, runner, room, verbose=False):
        self.room = room
        self.verbose = verbose
        self.proc = subprocess.Popen([runner, "--room", str(room)], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True, encoding="utf-8")
        self.lines = []
        self.loops = 0
        self.yaw = 0.0
        self.pitch = 0.0
        self.s = None
        # One still frame to learn the room; it is part of the log like any other frame.
        self.frame()

    # ---- wire ----------------------------------------------------------------------

    def frame(self, mx=0.0, mz=0.0, jump=False, interact=False, throw=False, commit=False,
              reset=False, retry=False, undo=False, next=False):
        parts = ['"dt":' + DT_TEXT]
        if fmt(mx) != "0.0":
            parts.append('"mx":' + fmt(mx))
        if fmt(mz) != "0.0":
            parts.append('"mz":' + fmt(mz))
        parts.append('"yaw":' + fmt(self.yaw))
        parts.append('"pitch":' + fmt(self.pitch))
        for name, flag in (("jump", jump), ("interact", interact), ("throw", throw),
                           ("commit", commit), ("reset", reset), ("retry", retry),
                           ("undo", undo), ("next", next)):
            if flag:
                parts.append('"%s":true' % name)
        line = "{" + ",".join(parts) + "}"
        self.lines.append(line)
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        out = self.proc.stdout.readline()
        if not out:
            raise BotError("runner closed its output after %d lines" % len(self.lines))
        self.s = json.loads(out)
        if self.verbose:
            print(self.summary(), file=sys.stderr)
        return self.s

    def close(self):
        try:
            self.proc.stdin.close()
        except OSError:
            pass
        self.proc.wait()

    # ---- reading the world ---------------------------------------------------------

    @property
    def t(self):
        return self.s["time"]

    @property
    def pos(self):
        return self.s["player"]["pos"]

    @property
    def held(self):
        return self.s["player"]["held"]

    def cargo(self, cid):
        for c in self.s["cargo"]:
            if c["id"] == cid:
                return c
        raise BotError("no cargo %d" % cid)

    def door_open(self, i):
        return self.s["doors"][i]["open"]

    def plate_active(self, i):
        return self.s["plates"][i]["active"]

    def summary(self):
        s = self.s
        p = s["player"]
        parts = ["t=%.3f" % s["time"], "p=(%.2f,%.2f,%.2f)" % tuple(p["pos"]),
                 "yaw=%.2f" % p["yaw"], "held=%d" % p["held"]]
        for c in s["cargo"]:
            if c["kind"] == 1 or c["owner"] >= 0 or c["style"] == "battery" or c["style"] == "ballast" \
                    or c["style"] == "oxygen":
                parts.append("c%d=(%.2f,%.2f,%.2f)%s" % (c["id"], c["pos"][0], c["pos"][1],
                                                          c["pos"][2],
                                                          "o%d" % c["owner"] if c["owner"] >= 0 else ""))
        if s["doors"]:
            parts.append("doors=" + "".join("1" if d["open"] else "0" for d in s["doors"]))
        if s["plates"]:
            parts.append("plates=" + "".join("1" if q["active"] else "0" for q in s["plates"]))
        if s["sockets"]:
            parts.append("sockets=" + "".join("1" if q["powered"] else "0" for q in s["sockets"]))
        if "lift" in s:
            parts.append("lift=%.2f" % s["lift"]["height"])
        if s["won"]:
            parts.append("WON")
        if s["failed"]:
            parts.append("FAILED")
        if s["message"]:
            parts.append("msg=" + s["message"])
        if s["interaction"]:
            parts.append("prompt=" + s["interaction"])
        return " ".join(parts)

    def fail(self, why):
        raise BotError("room %d loop %d: %s | %s" % (self.room, self.loops + 1, why, self.summary()))

    # ---- looking -------------------------------------------------------------------

    def eye(self):
        p = self.pos
        return (p[0], p[1] + EYE, p[2])

    def view_to(self, point):
        """Yaw and pitch that look from the eye straight at a point."""
        e = self.eye()
        dx, dy, dz = point[0] - e[0], point[1] - e[1], point[2] - e[2]
        return heading(dx, dz), math.atan2(dy, math.hypot(dx, dz))

    def look(self, yaw=None, pitch=None, frames=1):
        if yaw is not None:
            self.yaw = yaw
        if pitch is not None:
            self.pitch = max(-1.45, min(1.45, pitch))
        for _ in range(frames):
            self.frame()

    def aim_at(self, point, frames=1):
        y, p = self.view_to(point)
        self.look(y, p, frames)

    # ---- walking -------------------------------------------------------------------

    def move_dir(self, dx, dz):
        """Stick values that walk along the world direction (dx, dz) whatever the view."""
        s, c = math.sin(self.yaw), math.cos(self.yaw)
        return c * dx - s * dz, -s * dx - c * dz

    def walk_to(self, x, z, tol=0.06, face=True, exact=False, max_frames=2000, jump_at=None):
        """Walk to (x, z). With face the view turns toward the way; otherwise it stays.
        With exact the last two frames are aimed so that the player ends on the point."""
        stuck = 0
        last = None
        for _ in range(max_frames):
            if self.s["won"]:
                return
            p = self.pos
            dx, dz = x - p[0], z - p[2]
            r = math.hypot(dx, dz)
            if r <= (0.002 if exact else tol):
                return
            if exact and r <= 2 * STEP:
                # Two full frames whose sum lands on the point (or one, when it is a frame away).
                if abs(r - STEP) < 0.003:
                    self.frame(*self.move_dir(dx / r, dz / r))
                    continue
                half = math.acos(min(1.0, r / (2 * STEP)))
                base = math.atan2(dz, dx)
                a = base + half
                self.frame(*self.move_dir(math.cos(a), math.sin(a)))
                continue
            if face and r > 0.3:
                self.yaw = heading(dx, dz)
            self.frame(*self.move_dir(dx / r, dz / r))
            now = tuple(self.pos)
            if last is not None and math.hypot(now[0] - last[0], now[2] - last[2]) < 1e-4:
                stuck += 1
                if stuck > 30:
                    self.fail("stuck walking to (%.2f, %.2f)" % (x, z))
            else:
                stuck = 0
            last = now
        self.fail("walk to (%.2f, %.2f) took too long" % (x, z))

    def walk_path(self, points, **kw):
        for i, (x, z) in enumerate(points):
            last = i == len(points) - 1
            self.walk_to(x, z, **(kw if last else {k: v for k, v in kw.items() if k != "exact"}))

    def walk_dir(self, dx, dz, frames, jump=False):
        """Walk along a world direction for a number of frames (for jumps and ledges)."""
        r = math.hypot(dx, dz)
        for i in range(frames):
            self.frame(*self.move_dir(dx / r, dz / r), jump=(jump and i == 0))

    # ---- waiting -------------------------------------------------------------------

    def wait(self, frames):
        for _ in range(frames):
            self.frame()

    def wait_until(self, cond, max_frames=6000, what="condition"):
        for _ in range(max_frames):
            if cond(self.s):
                return
            self.frame()
        self.fail("waited too long for " + what)

    def wait_time(self, t):
        self.wait_until(lambda s: s["time"] >= t - 1e-6, what="time %.2f" % t)

    # ---- acting --------------------------------------------------------------------

    def press(self, expect_prompt, flag="interact"):
        """Presses interact (or throw) for one frame after checking the prompt."""
        if expect_prompt is not None:
            got = self.s["interaction"]
            ok = got.startswith(expect_prompt) if expect_prompt.endswith(" ") or \
                expect_prompt.endswith(": ") else got == expect_prompt
            if not ok:
                self.fail("prompt is %r, wanted %r" % (got, expect_prompt))
        self.frame(**{flag: True})

    def pickup(self, cid, point=None):
        c = self.cargo(cid)
        if c["owner"] >= 0:
            self.fail("cargo %d is held by %d" % (cid, c["owner"]))
        self.aim_at(point if point is not None else c["pos"])
        want = PICKUP_PROMPT + c["label"]
        if self.s["interaction"] != want:
            self.fail("prompt is %r, wanted %r" % (self.s["interaction"], want))
        self.press(want)
        if self.held != cid:
            self.fail("pickup of cargo %d failed" % cid)

    def place(self, pitch=None, yaw=None, frames=1):
        if self.held < 0:
            self.fail("nothing to place")
        self.look(yaw, pitch, frames)
        self.press(PLACE_PROMPT)
        if self.held >= 0:
            self.fail("place failed")

    def dock(self, socket):
        """Docks the held battery into a socket: aims at it and checks the prompt."""
        sk = self.s["sockets"][socket]
        self.aim_at(sk["pos"])
        self.press(DOCK_PROMPT + sk["label"])
        if self.held >= 0:
            self.fail("dock failed")

    def throw(self, yaw=None, pitch=None):
        if self.held < 0:
            self.fail("nothing to throw")
        self.look(yaw, pitch)
        self.press(None, flag="throw")
        if self.held >= 0:
            self.fail("throw failed")

    def use(self, point, prompt):
        """Operates a fan, lift control or gravity console at a point."""
        self.aim_at(point)
        self.press(prompt)

    def commit(self):
        self.frame(commit=True)
        self.loops += 1
        if len(self.s["echoes"]) != self.loops:
            self.fail("commit did not record an echo")
        self.yaw, self.pitch = 0.0, 0.0

    # ---- carrying helpers ----------------------------------------------------------

    def hand_offset(self, yaw, pitch):
        cp = math.cos(pitch)
        return -math.sin(yaw) * cp, -math.cos(yaw) * cp

    def stand_for(self, target_x, target_z, yaw, pitch):
        """The feet point from which the hand point lies above (target_x, target_z)."""
        ox, oz = self.hand_offset(yaw, pitch)
        return target_x - ox, target_z - oz

    def place_at(self, x, z, yaw, pitch=0.0, path=()):
        """Carries the held cargo so that it is let go above (x, z)."""
        sx, sz = self.stand_for(x, z, yaw, pitch)
        for (wx, wz) in path:
            self.walk_to(wx, wz)
        self.walk_to(sx, sz, exact=True)
        self.place(pitch=pitch, yaw=yaw, frames=2)
