#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""bench/run's check of the worksheet faces' inputs, over what tovrel-tool
reports in three cases: everything there, no stroke data built in, and
another Kai face standing in. Only the first lets the rows be timed."""
import importlib.machinery
import importlib.util
import os
import stat
import sys
import tempfile
from pathlib import Path

root = Path(sys.argv[1])
loader = importlib.machinery.SourceFileLoader("bench_run", str(root / "bench" / "run"))
spec = importlib.util.spec_from_loader("bench_run", loader)
bench = importlib.util.module_from_spec(spec)
loader.exec_module(bench)

FACES = "stroke-order face: synthesised, metrics of {0}; tracing face: synthesised, metrics of {0}"
CASES = {
    "all there": (FACES.format("TW-Kai"), "characters: 1 (stroke data: 1, without: 0)", []),
    "no stroke data": (FACES.format("TW-Kai"), "characters: 1 (stroke data: 0, without: 1)", ["the stroke data"]),
    "another stand-in": (FACES.format("AR PL UKai TW"), "characters: 1 (stroke data: 1, without: 0)",
                         ["the stand-in face TW-Kai", "the stand-in face TW-Kai"]),
}

failures = []
with tempfile.TemporaryDirectory() as tmp:
    tool = Path(tmp) / "tovrel-tool"
    bench.tool_path = lambda: tool
    for case, (faces, counts, wanted) in CASES.items():
        # tovrel-tool fails its own check of a glyph now and then: that is no
        # missing input, so the stand-in exits 1 after its report.
        tool.write_text(f"#!/bin/sh\necho 'checking the characters given'\necho '{faces}'\necho '{counts}'\nexit 1\n")
        tool.chmod(tool.stat().st_mode | stat.S_IXUSR)
        missing, data = bench.face_inputs()
        got = [m.split(":")[0] for m in missing]
        if got != wanted:
            failures.append(f"{case}: missing {missing}, wanted {wanted}")
        if not missing and "TW-Kai" not in data:
            failures.append(f"{case}: the data measured is not named: {data!r}")
    tool.write_text("#!/bin/sh\necho 'tovrel-tool: unknown option' >&2\nexit 2\n")
    missing, _ = bench.face_inputs()
    if len(missing) != 1 or "reported nothing" not in missing[0] or "unknown option" not in missing[0]:
        failures.append(f"a tool that reports nothing: missing {missing}")

for f in failures:
    print("FAIL:", f)
print("bench/run's input check: " + ("as expected" if not failures else "wrong"))
sys.exit(1 if failures else 0)
