#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/check-layers passes on the checkout and fails on a copy with an
# upward include planted in it, and on one with an upward link.
set -u
src=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$src/scripts/check-layers" "$src" >/dev/null || fail "the checkout itself breaks the layer graph"

copy() {
  rm -rf "$scratch/tree"; mkdir -p "$scratch/tree/scripts"
  cp "$src/README.md" "$scratch/tree/"
  cp "$src/scripts/check-layers" "$scratch/tree/scripts/"
  for d in platform faces printer data expr report controls app tools; do
    [ -d "$src/$d" ] && cp -r "$src/$d" "$scratch/tree/$d"
  done
}

copy
"$scratch/tree/scripts/check-layers" "$scratch/tree" >/dev/null || fail "an untouched copy fails"

copy
printf '#include "controls/rplabel.h"\n' >> "$scratch/tree/platform/canvas.cpp"
out=$("$scratch/tree/scripts/check-layers" "$scratch/tree" 2>&1); rc=$?
[ $rc -eq 1 ] || fail "an upward include passed (exit $rc)"
grep -q 'platform/canvas.cpp:.*platform includes controls/' <<<"$out" || fail "the message does not name the include: $out"

# The worksheet faces sit above the platform, beside the engine: neither the
# platform nor the report printer may reach them.
for planted in platform/fonts.cpp printer/rpprinter.cpp; do
  copy
  printf '#include "faces/synthesis.h"\n' >> "$scratch/tree/$planted"
  out=$("$scratch/tree/scripts/check-layers" "$scratch/tree" 2>&1); rc=$?
  [ $rc -eq 1 ] || fail "$planted including faces/ passed (exit $rc)"
  grep -q "$planted:.*includes faces/" <<<"$out" || fail "the message does not name the include: $out"
done

copy
sed -i 's/tovrel_module(expr DEPENDS /tovrel_module(expr DEPENDS tovrel_report /' "$scratch/tree/expr/CMakeLists.txt"
out=$("$scratch/tree/scripts/check-layers" "$scratch/tree" 2>&1); rc=$?
[ $rc -eq 1 ] || fail "an upward link passed (exit $rc)"
grep -q -E 'expr/CMakeLists.txt:[0-9]+: expr links against report' <<<"$out" || fail "the message does not name the link: $out"

copy
sed -i 's/^platform:$/platform: app/' "$scratch/tree/README.md"
"$scratch/tree/scripts/check-layers" "$scratch/tree" >/dev/null 2>&1; rc=$?
[ $rc -eq 2 ] || fail "a cyclic graph was accepted (exit $rc)"
echo "PASS"
