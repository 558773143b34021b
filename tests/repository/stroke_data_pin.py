#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The stroke data installed from the npm registry is the one the lock file
pins: the same version and integrity hash, installed by npm ci (which
records what it installed in node_modules/.package-lock.json)."""
import json
import os
import sys

npm = os.path.join(sys.argv[1], "third_party", "npm")
name = "node_modules/hanzi-writer-data"
with open(os.path.join(npm, "package.json"), encoding="utf-8") as f:
    wanted = json.load(f)["dependencies"]["hanzi-writer-data"]
with open(os.path.join(npm, "package-lock.json"), encoding="utf-8") as f:
    locked = json.load(f)["packages"][name]
with open(os.path.join(npm, "node_modules", ".package-lock.json"), encoding="utf-8") as f:
    installed = json.load(f)["packages"][name]
with open(os.path.join(npm, name, "package.json"), encoding="utf-8") as f:
    present = json.load(f)["version"]
failures = []
if not locked.get("integrity", "").startswith("sha512-"):
    failures.append(f"the lock file has no sha512 integrity hash for {name}")
if wanted != locked["version"]:
    failures.append(f"package.json asks for {wanted}, the lock file pins {locked['version']} (pin one exact version)")
if (installed.get("version"), installed.get("integrity")) != (locked["version"], locked.get("integrity")):
    failures.append(f"installed {installed.get('version')} {installed.get('integrity')}, "
                    f"locked {locked['version']} {locked.get('integrity')}")
if present != locked["version"]:
    failures.append(f"the package present is version {present}, the lock file pins {locked['version']}")
for f in failures:
    print("FAIL:", f)
print(f"hanzi-writer-data {present}: " + ("as locked" if not failures else "not as locked"))
sys.exit(1 if failures else 0)
