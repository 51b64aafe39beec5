#!/usr/bin/env bash
# run_cases.sh -- runs the ostrel2 program on each case of a table and compares the results.
#
# usage: run_cases.sh <ostrel2 program> <cases file>
#
# A case is a block of lines:
#   $ <arguments>         the command line, split into words as the shell does: quotes
#                         group them ('sqrt(2) * 3' is one word), no file names expanded
#   <expected stdout>     zero or more lines, compared exactly; a line "~ text" instead asks only
#                         that stdout contain "text"
#   ! <text>              optional: standard error must contain text
#   != <line>             optional: standard error must be this one line and nothing else
#   > <file>              optional: standard output goes to file (e.g. /dev/full) and is not
#                         compared
#   ? <status>            the exit status; ends the case
# Lines starting with # and blank lines between cases are ignored.
set -uo pipefail
set -f  # no file name expansion of the cases' words

program=$1
cases=$2
passed=0
failed=0
args=""
expected=""
contains=()
stderr_wants=()
stderr_exact=""
stdout_to=""
in_case=0

check() {
  local status=$1
  local out err rc argv
  eval "argv=($args)"
  err=$(mktemp)
  if [[ -n $stdout_to ]]; then
    "$program" "${argv[@]}" >"$stdout_to" 2>"$err"
    rc=$?
    out=""
  else
    out=$("$program" "${argv[@]}" 2>"$err")
    rc=$?
  fi
  local ok=1 why=""
  if [[ $rc != "$status" ]]; then ok=0; why+=" exit status $rc, expected $status;"; fi
  if [[ -n $stdout_to ]]; then
    :
  elif [[ ${#contains[@]} -eq 0 ]]; then
    if [[ "$out" != "$expected" ]]; then ok=0; why+=" stdout differs;"; fi
  else
    for want in "${contains[@]}"; do
      if [[ "$out" != *"$want"* ]]; then ok=0; why+=" stdout lacks '$want';"; fi
    done
  fi
  for want in "${stderr_wants[@]}"; do
    if ! grep -qF -- "$want" "$err"; then ok=0; why+=" stderr lacks '$want';"; fi
  done
  if [[ -n $stderr_exact && "$(cat "$err")" != "$stderr_exact" ]]; then
    ok=0; why+=" stderr is not the one line '$stderr_exact';"
  fi
  if [[ $ok == 1 ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: ostrel2 $args:$why"
    echo "--- expected stdout"; printf '%s\n' "$expected"
    echo "--- actual stdout"; printf '%s\n' "$out"
    echo "--- actual stderr"; cat "$err"
  fi
  rm -f "$err"
}

while IFS= read -r line || [[ -n $line ]]; do
  if [[ $in_case == 0 ]]; then
    if [[ $line == '$ '* || $line == '$' ]]; then
      args=${line#\$}
      args=${args# }
      expected=""
      contains=()
      stderr_wants=()
      stderr_exact=""
      stdout_to=""
      first=1
      in_case=1
    fi
    continue
  fi
  case $line in
    '? '*) check "${line#? }"; in_case=0 ;;
    '!= '*) stderr_exact=${line#!= } ;;
    '! '*) stderr_wants+=("${line#! }") ;;
    '> '*) stdout_to=${line#> } ;;
    '~ '*) contains+=("${line#\~ }") ;;
    *)
      if [[ $first == 1 ]]; then expected=$line; first=0; else expected+=$'\n'$line; fi ;;
  esac
done < "$cases"

echo "$passed passed, $failed failed"
[[ $failed == 0 && $passed -gt 0 ]]
