#!/usr/bin/env bash
# check-layers passes the engine's sources as they are and fails on a copy
# with an include from a layer above and a file outside the layers.
set -uo pipefail
check=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$source" "$work/src"
"$check" "$work/src" || { echo "the sources as they are failed"; exit 1; }
echo '#include "converters/converter_units.h"' >>"$work/src/number/number.h"
touch "$work/src/loose.h"
if faults=$("$check" "$work/src" 2>&1); then
  echo "a planted upward include and a loose file passed"
  exit 1
fi
grep -q 'number/number.h: includes "converters/converter_units.h"' <<<"$faults" &&
  grep -q '^loose.h: not in one of the layer folders' <<<"$faults" ||
  { echo "unexpected report: $faults"; exit 1; }
