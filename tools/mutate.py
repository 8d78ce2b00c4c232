#!/usr/bin/env python3
"""Seeds the small faults listed in tools/mutants.txt, one at a time, and reports which ones
the tests let through.

Every fault is applied in a scratch copy of the working tree (build-mutants/tree), never in
the tree itself, so an interrupted or failed run leaves nothing behind. For each fault the
copy is rebuilt incrementally (only the targets CTest runs) and the whole CTest suite runs,
the unit tests first and the replays and digests after, stopping at the first failure. A
fault whose text is no longer found, or found more than once, is reported as stale.

    python3 tools/mutate.py                 # every fault
    python3 tools/mutate.py 3 17 40         # only these (numbers as printed)
    python3 tools/mutate.py --check         # only check that every fault still applies

Exit status: 0 when every fault was killed and none is stale, 1 otherwise, 2 for a broken
list or a baseline that does not pass.
"""

import argparse
import re
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
TARGETS = ["vantrel_sim", "sim_tests", "vantrel", "binding_tests", "vantrel-run", "runner_tests",
           "random-streams"]
# Built where the configuration has them (the MPFR tests only where MPFR is found).
OPTIONAL_TARGETS = ["trig_mpfr_tests", "parse_input_fuzz", "step_fuzz"]
# The replays and the MPFR comparisons are slow; everything else takes seconds. Together the
# two phases are all of CTest.
SLOW_TESTS = r"^(digest\.|playthrough\.|ExactTrigAgainstMpfr\.|ExactHypotAgainstMpfr\.)"
NICE = ["nice", "-n", "10"]


@dataclass
class Fault:
    number: int
    line: int
    file: str
    find: str
    put: str
    why: str


def broken_list(message):
    print(message, file=sys.stderr)
    sys.exit(2)


def parse_faults(path):
    """Blocks of `file:`, `find:`, `put:` and `why:` lines, separated by blank lines."""
    faults, block, start = [], {}, 0
    lines = path.read_text(encoding="utf-8").splitlines() + [""]
    for number, line in enumerate(lines, 1):
        if line.startswith("#"):
            continue
        if not line.strip():
            if block:
                missing = {"file", "find", "put", "why"} - block.keys()
                if missing:
                    broken_list(f"{path}:{start}: block lacks {', '.join(sorted(missing))}")
                faults.append(Fault(len(faults) + 1, start, block["file"], block["find"], block["put"],
                                    block["why"]))
                block = {}
            continue
        match = re.match(r"(file|find|put|why):(?: (.*))?$", line)
        if not match or match.group(1) in block:
            broken_list(f"{path}:{number}: expected one each of file:, find:, put:, why: per block")
        if not block:
            start = number
        block[match.group(1)] = match.group(2) or ""
    return faults


def staleness(fault, tree):
    source = tree / fault.file
    if not source.is_file():
        return "file not found"
    count = source.read_text(encoding="utf-8").count(fault.find)
    if count == 0:
        return "text not found"
    if count > 1:
        return f"text found {count} times"
    if fault.find == fault.put:
        return "replacement equals the text"
    return None


def tracked_files():
    out = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT, check=True,
                         capture_output=True).stdout
    return [name for name in out.decode().split("\0") if name]


def sync_copy(copy):
    """Makes the copy equal to the tree by content. A copied file gets a fresh time stamp, so
    objects built from a fault that was left in the copy by a killed run are rebuilt."""
    wanted = set(tracked_files())
    for name in wanted:
        source, target = ROOT / name, copy / name
        if not source.is_file():
            continue
        if target.is_file() and target.read_bytes() == source.read_bytes():
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(source, target)
    for path in sorted(copy.rglob("*"), reverse=True):
        relative = path.relative_to(copy).as_posix()
        if path.is_file() and relative not in wanted:
            path.unlink()
        elif path.is_dir() and not any(path.iterdir()):
            path.rmdir()


def run(command, log):
    with open(log, "a", encoding="utf-8") as out:
        out.write("$ " + " ".join(command) + "\n")
        out.flush()
        return subprocess.run(command, stdout=out, stderr=subprocess.STDOUT).returncode == 0


def available_targets(build_dir):
    listing = subprocess.run(["cmake", "--build", str(build_dir), "--target", "help"],
                             capture_output=True, text=True).stdout
    names = set(re.findall(r"^\.\.\. (\S+)", listing, re.MULTILINE) +
                re.findall(r"^(\S+): phony", listing, re.MULTILINE))
    return TARGETS + [name for name in OPTIONAL_TARGETS if name in names]


def build(build_dir, jobs, log):
    return run(NICE + ["cmake", "--build", str(build_dir), f"-j{jobs}", "--target",
                       *available_targets(build_dir)], log)


def failed_test(log):
    """The first failing test named in a CTest log."""
    text = Path(log).read_text(encoding="utf-8", errors="replace")
    match = re.search(r"The following tests FAILED:\s*\n\s*\d+ - (\S+)", text)
    return match.group(1) if match else "?"


def run_tests(build_dir, jobs, log):
    """The whole suite, fast tests first; stops at the first failure. True when all pass."""
    base = NICE + ["ctest", "--test-dir", str(build_dir), f"-j{jobs}", "--stop-on-failure",
                   "--output-on-failure", "--timeout", "300"]
    return run(base + ["-E", SLOW_TESTS], log) and run(base + ["-R", SLOW_TESTS], log)


def interrupt(*_):
    raise KeyboardInterrupt


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("numbers", nargs="*", type=int, help="run only these faults")
    parser.add_argument("--list", type=Path, default=ROOT / "tools" / "mutants.txt")
    parser.add_argument("--scratch", type=Path, default=ROOT / "build-mutants")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--check", action="store_true", help="only report stale faults")
    args = parser.parse_args()

    faults = parse_faults(args.list)
    stale = [(fault, why) for fault in faults if (why := staleness(fault, ROOT))]
    for fault, why in stale:
        print(f"STALE  #{fault.number} {fault.file} (line {fault.line} of the list): {why}: {fault.find!r}")
    if args.check:
        print(f"{len(faults)} faults, {len(stale)} stale")
        return 1 if stale else 0

    stale_numbers = {fault.number for fault, _ in stale}
    chosen = [fault for fault in faults if fault.number not in stale_numbers and
              (not args.numbers or fault.number in args.numbers)]
    copy, build_dir, logs = args.scratch / "tree", args.scratch / "build", args.scratch / "logs"
    copy.mkdir(parents=True, exist_ok=True)
    logs.mkdir(parents=True, exist_ok=True)

    # SIGTERM unwinds like Ctrl-C, so the finally below restores the copy as well.
    signal.signal(signal.SIGTERM, interrupt)

    sync_copy(copy)
    baseline = logs / "baseline.log"
    baseline.write_text("", encoding="utf-8")
    print("baseline: building and running every test unchanged ...", flush=True)
    if not (run(NICE + ["cmake", "-S", str(copy), "-B", str(build_dir), "-DCMAKE_BUILD_TYPE=Release"], baseline)
            and build(build_dir, args.jobs, baseline) and run_tests(build_dir, args.jobs, baseline)):
        print(f"the unchanged tree does not pass; see {baseline}")
        return 2

    killed, survived, unbuildable = [], [], []
    started = time.monotonic()
    for fault in chosen:
        source = copy / fault.file
        original = source.read_text(encoding="utf-8")
        log = logs / f"fault-{fault.number:03d}.log"
        log.write_text(f"{fault.file}: {fault.why}\n", encoding="utf-8")
        try:
            source.write_text(original.replace(fault.find, fault.put, 1), encoding="utf-8")
            if not build(build_dir, args.jobs, log):
                unbuildable.append(fault)
                verdict = "does not build"
            elif run_tests(build_dir, args.jobs, log):
                survived.append(fault)
                verdict = "SURVIVED"
            else:
                killed.append(fault)
                verdict = "killed by " + failed_test(log)
        finally:
            # Written anew: the fresh time stamp makes the next build recompile the file.
            source.write_text(original, encoding="utf-8")
        print(f"#{fault.number:<3} {verdict:<60} {fault.file}: {fault.why}", flush=True)

    tried = len(killed) + len(survived)
    print(f"\n{len(killed)} of {tried} faults killed"
          + (f" ({100.0 * len(killed) / tried:.1f} %)" if tried else "")
          + f" in {time.monotonic() - started:.0f} s")
    for fault in survived:
        print(f"  survived #{fault.number} {fault.file}: {fault.why}")
    for fault in unbuildable:
        print(f"  does not build #{fault.number} {fault.file}: {fault.why} (fix the list)")
    if stale:
        print(f"  {len(stale)} stale, not run (listed at the top)")
    print(f"logs in {logs}")
    return 0 if not survived and not stale and not unbuildable else 1


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        print("\ninterrupted; the working tree was never changed", file=sys.stderr)
        sys.exit(130)
