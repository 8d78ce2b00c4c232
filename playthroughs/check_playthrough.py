#!/usr/bin/env python3
"""Replays checked-in playthrough logs through the headless runner.

    check_playthrough.py won ROOM LOG RUNNER...
        the log, replayed twice with --final, ends won and both final snapshots are
        byte-identical
    check_playthrough.py finish ROOM LOG RUNNER...
        the log wins the last room; one more frame asking for the next room ends the shift

RUNNER... is the runner's command: its path, after an emulator and its options for a
runner built for another platform.
"""

import json
import subprocess
import sys

DT = "0.016666668"
FINISHED_MESSAGE = "Смена закончена. Все грузы эвакуированы."


def final_snapshot(runner, room, text):
    out = subprocess.run(runner + ["--room", str(room), "--final", "-"], input=text.encode("utf-8"),
                         stdout=subprocess.PIPE, check=True).stdout
    lines = out.decode("utf-8").strip().split("\n")
    return lines[-1]


def check_won(runner, room, log):
    with open(log, encoding="utf-8") as f:
        text = f.read()
    first = final_snapshot(runner, room, text)
    second = final_snapshot(runner, room, text)
    snap = json.loads(first)
    errors = []
    if snap["level"] != room:
        errors.append("the final snapshot is of room %d" % snap["level"])
    if snap["won"] is not True:
        errors.append("room %d is not won at the end of %s (time %.3f, %d echoes, message %r)"
                      % (room, log, snap["time"], len(snap["echoes"]), snap["message"]))
    if first != second:
        errors.append("two replays of %s gave different final snapshots" % log)
    return errors


def check_finish(runner, room, log):
    with open(log, encoding="utf-8") as f:
        text = f.read()
    won = json.loads(final_snapshot(runner, room, text))
    errors = []
    if won["won"] is not True:
        errors.append("room %d is not won before asking for the next room" % room)
    if won["finished"] is not False:
        errors.append("the shift is finished before asking for the next room")
    after = json.loads(final_snapshot(runner, room, text + '{"dt":%s,"next":true}\n' % DT))
    if after["finished"] is not True:
        errors.append("asking for the next room after the last win did not finish the shift")
    if after["message"] != FINISHED_MESSAGE:
        errors.append("the message is %r, wanted %r" % (after["message"], FINISHED_MESSAGE))
    if after["level"] != room:
        errors.append("the world moved to room %d" % after["level"])
    return errors


def main():
    if len(sys.argv) < 5 or sys.argv[1] not in ("won", "finish"):
        print(__doc__)
        return 2
    mode, room, log, runner = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4:]
    try:
        errors = (check_won if mode == "won" else check_finish)(runner, room, log)
    except FileNotFoundError as e:
        errors = ["missing file: %s" % e.filename]
    except (subprocess.CalledProcessError, json.JSONDecodeError, KeyError) as e:
        errors = ["the runner failed: %s" % e]
    for e in errors:
        print("FAIL: " + e)
    if not errors:
        print("ok: room %d, %s" % (room, log))
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
