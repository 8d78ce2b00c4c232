#!/usr/bin/env python3
"""Plays rooms with the bot and writes the input logs to playthroughs/room-NN.jsonl.

    python3 bot/generate.py [--runner PATH] [--rooms 0,1,2] [--verbose] [--dry]

A log is written only when its room ends won; --dry plays without writing.
"""

import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, HERE)

from vbot import Bot, BotError  # noqa: E402
from rooms import ROOMS  # noqa: E402

ROOT = os.path.dirname(HERE)


def play(runner, room, verbose):
    bot = Bot(runner, room, verbose=verbose)
    try:
        ROOMS[room](bot)
        if not bot.s["won"]:
            bot.fail("the script ended without a win")
        return bot.lines, bot.loops + 1, bot.s
    finally:
        bot.close()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runner", default=os.path.join(ROOT, "build-bot", "tools", "vantrel-run"))
    ap.add_argument("--rooms", default=",".join(str(r) for r in sorted(ROOMS)))
    ap.add_argument("--out", default=os.path.join(ROOT, "playthroughs"))
    ap.add_argument("--verbose", action="store_true")
    ap.add_argument("--dry", action="store_true")
    args = ap.parse_args()

    failures = 0
    for room in [int(r) for r in args.rooms.split(",") if r]:
        if room not in ROOMS:
            print("room %2d: no script" % room)
            failures += 1
            continue
        try:
            lines, loops, last = play(args.runner, room, args.verbose)
        except BotError as e:
            print("room %2d: FAILED %s" % (room, e))
            failures += 1
            continue
        print("room %2d: won after %d loops, %d frames, %.2f s in the last loop" %
              (room, loops, len(lines), last["time"]))
        if not args.dry:
            os.makedirs(args.out, exist_ok=True)
            with open(os.path.join(args.out, "room-%02d.jsonl" % room), "w", encoding="utf-8") as f:
                f.write("\n".join(lines) + "\n")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
