#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Every file of the repository says under which licence it is: reuse lint
# over the files git tracks and the new ones it does not ignore, copied
# away from build trees and installed packages (which git ignores, and
# which reuse would otherwise read in a work tree it does not recognise).
set -euo pipefail
src=${1:?usage: reuse_lint.sh SOURCE_DIR}
command -v reuse >/dev/null || { echo "reuse is missing (scripts/install-deps installs it)" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$src" && { git ls-files -z; git ls-files -z --others --exclude-standard; } |
   while IFS= read -r -d '' f; do [ -f "$f" ] && printf '%s\0' "$f"; done |
   xargs -0 cp --parents -t "$tmp")
cd "$tmp"
reuse lint
