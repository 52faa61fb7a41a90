#!/usr/bin/env bash
# The Windows konversi-cli.exe under Wine against the Linux konversi-cli,
# byte for byte: every folder of test inputs (tests/data, the fuzz corpora)
# converted by each mode and a few option sets, one run per folder with all
# its files in name order, as a user would convert a batch. Compared: the
# exit status, standard output and error, and every file the folder then
# holds (no temporary may be left). Exits 1 on any difference.
# Usage: differential.sh LINUX_CLI WINDOWS_CLI_EXE [WORK_FOLDER]
set -uo pipefail
linux_cli=$(realpath "$1")
windows_cli=$(realpath "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
work=${3:-$(dirname "$windows_cli")/differential}
wine_run=$root/scripts/wine-run

cases=(
  "txt2point"
  "txt2poly"
  "point2txt"
  "poly2txt"
  "point2txt --strict"
  "poly2txt --strict --close"
  "point2txt --strict --layer 0 --columns pxyzd --delimiter tab"
  "txt2point --columns pnezd --skip 1 --layer-by-code --dxf full --labels pzd --decimals 2 --text-height 0.5"
  "txt2point --columns xyz --delimiter semicolon --skip 1 --decimal-comma"
  "txt2poly --columns pnezd --skip 1 --split-by-code --dxf full"
)
folders=("$root"/tests/data/* "$root"/fuzz/corpus/*)

rm -rf "$work"
runs=0 differences=0
for index in "${!cases[@]}"; do
  read -r -a options <<<"${cases[$index]}"
  for folder in "${folders[@]}"; do
    name=$index-$(basename "$(dirname "$folder")")-$(basename "$folder")
    for side in linux windows; do
      mkdir -p "$work/$side/$name"
      cp -p "$folder"/* "$work/$side/$name/"
    done
    mapfile -t inputs < <(cd "$folder" && ls)
    (cd "$work/linux/$name" && "$linux_cli" "${options[@]}" "${inputs[@]}" \
      >"../$name.out" 2>"../$name.err"; echo $? >"../$name.status")
    (cd "$work/windows/$name" && "$wine_run" "$windows_cli" "${options[@]}" "${inputs[@]}" \
      >"../$name.out" 2>"../$name.err"; echo $? >"../$name.status")
    runs=$((runs + 1))
    if ! diff -r "$work/linux/$name" "$work/windows/$name" >/dev/null ||
      ! cmp -s "$work/linux/$name.out" "$work/windows/$name.out" ||
      ! cmp -s "$work/linux/$name.err" "$work/windows/$name.err" ||
      ! cmp -s "$work/linux/$name.status" "$work/windows/$name.status"; then
      differences=$((differences + 1))
      echo "DIFFERENT: ${cases[$index]} on $folder (see $work/{linux,windows}/$name*)"
    fi
  done
done
files=$(find "$work/linux" -type f | wc -l)
echo "differential: $runs runs, $files files compared, $differences different"
[ "$differences" -eq 0 ]
