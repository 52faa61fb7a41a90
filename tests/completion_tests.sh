#!/usr/bin/env bash
# Drives the bash completion of konversi-cli as bash would, through
# bash-completion: the words of a command line up to the cursor, then the
# words offered. Usage: completion_tests.sh COMPLETION-SCRIPT
# Exits 77 (skipped) where bash-completion is not installed.
helpers=/usr/share/bash-completion/bash_completion
[[ -f $helpers ]] || { echo "bash-completion is not installed"; exit 77; }
source "$helpers"
source "$1"
cd "$(mktemp -d)"
trap 'rm -rf "$PWD"' EXIT

failures=0
# expect "WORDS OFFERED" WORD...: the last word is the one being completed.
expect() {
    local expected=$1
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _konversi_cli
    local offered
    offered=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' ')
    if [[ $offered != "$expected" ]]; then
        echo "FAIL: '$*' offered '$offered', expected '$expected'"
        failures=$((failures + 1))
    fi
}

mkdir survey 'two words'
touch peta.txt JALAN.TXT jalan.dxf notes.md survey/b.txt survey/c.dxf
expect '--help --version point2txt poly2txt txt2point txt2poly' konversi-cli ''
expect 'point2txt poly2txt' konversi-cli p
expect 'JALAN.TXT peta.txt survey two words' konversi-cli txt2point ''
expect 'jalan.dxf survey two words' konversi-cli point2txt ''
expect 'survey/b.txt' konversi-cli txt2point survey/
expect 'notes.md' konversi-cli txt2poly peta.txt n
expect '' konversi-cli --help ''
expect '' konversi-cli todxf ''

expect '--columns --decimal-comma --delimiter --dxf --layer-by-code --skip --split-by-code' \
    konversi-cli txt2poly --
expect 'comma semicolon space tab' konversi-cli txt2point --delimiter ''
expect '--columns --delimiter --layer --strict' konversi-cli point2txt --

# Options come from the table alone: those of a table put here are offered to
# their modes, with their values.
_konversi_cli_options=("txt2point,txt2poly --dxf full|minimal" "point2txt --strict -"
    "txt2poly --columns ...")
expect '--columns --dxf' konversi-cli txt2poly --
expect 'full minimal' konversi-cli txt2point --dxf ''
expect '' konversi-cli txt2poly --columns ''
expect '--strict' konversi-cli point2txt -
expect 'jalan.dxf survey two words' konversi-cli point2txt --strict ''
expect '' konversi-cli poly2txt -

echo "completion: $failures failed"
[[ $failures -eq 0 ]]
