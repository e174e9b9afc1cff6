#!/usr/bin/python3
"""Runs a window test built with ThreadSanitizer and fails on every race report in which one of
the two racing accesses runs code of this project.

The toolkit is not built with the checker, so its own threads (the painting and font pools, the
test library's watchdog) report races between accesses that the toolkit's code makes; those say
nothing about the proof thread and are counted, not failed. A report in which either access is
made by the project's code (its first frame past the checker's own, in the project's sources)
fails the check.

Usage: tsan_check.py SOURCE_DIR TEST_BINARY [ARGS...]
"""
import os
import re
import subprocess
import sys
import tempfile


def access_stacks(report):
    """The frames of the racing accesses, not of the 'created at' or 'allocated by' notes."""
    stacks, current = [], None
    for line in report.splitlines():
        if re.match(r"\s+(Previous )?(atomic )?(Read|Write)", line, re.I):
            current = []
            stacks.append(current)
        elif re.match(r"\s+#\d+ ", line) and current is not None:
            current.append(line)
        elif not line.strip() or not line.startswith("    "):
            current = None
    return stacks


def main():
    source, command = os.path.realpath(sys.argv[1]), sys.argv[2:]
    with tempfile.TemporaryDirectory() as tmp:
        env = dict(os.environ)
        env["TSAN_OPTIONS"] = f"halt_on_error=0:exitcode=0:log_path={tmp}/tsan"
        status = subprocess.run(command, env=env).returncode
        text = "".join(open(os.path.join(tmp, f)).read() for f in sorted(os.listdir(tmp)))
    reports = [r.split("==================")[0] for r in text.split("WARNING: ThreadSanitizer")[1:]]
    ours = []
    for report in reports:
        for stack in access_stacks(report):
            made_by = [f for f in stack if "libsanitizer" not in f and "(libtsan" not in f][:1]
            if any(f" {source}/" in f and "_autogen" not in f for f in made_by):
                ours.append(report)
                break
    for report in ours:
        print("WARNING: ThreadSanitizer" + report, file=sys.stderr)
    print(f"tsan_check: {len(reports)} reports, {len(ours)} in this project's code",
          file=sys.stderr)
    sys.exit(1 if ours or status != 0 else 0)


main()
