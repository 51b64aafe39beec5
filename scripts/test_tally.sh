# test_tally.sh -- the tally and the helpers that scripts/windows-test.sh and scripts/arm64-test.sh
# share; sourced, not run. Each script ends with "<name>: N passed, N failed" from the counts.

passed=0
failed=0
note() { printf '== %s\n' "$*" >&2; }
count() { if [ "$1" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $2" >&2; fi; }
# Takes over a test program's own count, the last "N passed, N failed" line of its report; a
# program that died without one counts as one failure.
take_count() { # report-file exit-status what
  local summary n
  summary="$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$1" | tail -1)"
  if [ -n "$summary" ]; then
    passed=$((passed + ${summary%% passed*}))
    n="${summary#*, }"; failed=$((failed + ${n%% failed*}))
  fi
  [ -n "$summary" ] && [ "$2" -eq 0 ] || count 1 "$3 (exit status $2)"
}
seconds_since() { awk "BEGIN { printf \"%.1f\", $(date +%s.%N) - $1 }"; }

apt_install() { # [apt-get option...] package...
  if [ "$(id -u)" -ne 0 ]; then echo "$(basename "$0"): must run as root to install $*" >&2; exit 1; fi
  apt-get update -qq -o DPkg::Lock::Timeout=600
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=600 "$@" >/dev/null
}
