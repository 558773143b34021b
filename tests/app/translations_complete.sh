#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Every text the windows mark for translation is translated in every
# catalogue of translations/, and the catalogues hold no text the sources no
# longer have: lupdate run over the sources into a copy changes nothing that
# matters.
set -u
src=$1
lupdate=${2:-/usr/lib/qt6/bin/lupdate}
[ -x "$lupdate" ] || { echo "SKIP: $lupdate is not installed (qt6-l10n-tools)"; exit 0; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for ts in "$src"/translations/*.ts; do
  copy="$scratch/$(basename "$ts")"
  cp "$ts" "$copy"
  (cd "$src" && "$lupdate" -silent -locations none app preview printer -ts "$copy") || { echo "FAIL: lupdate"; exit 1; }
  if grep -q 'type="unfinished"' "$copy"; then
    echo "FAIL: $(basename "$ts") lacks translations of:"
    grep -B2 'type="unfinished"' "$copy" | grep '<source>'
    status=1
  fi
  if grep -q 'type="vanished"\|type="obsolete"' "$copy"; then
    echo "FAIL: $(basename "$ts") translates texts the sources no longer have:"
    grep -B2 'type="vanished"\|type="obsolete"' "$copy" | grep '<source>'
    status=1
  fi
done
[ $status -eq 0 ] && echo "every marked text is translated"
exit $status
