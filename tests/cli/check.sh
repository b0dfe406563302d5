# Shared by the command-line tests: a scratch folder and check(), which runs
# a command and compares its exit code, stdout and stderr.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

check() {  # name, expected exit, expected stdout, expected stderr, command...
  local name=$1 code=$2 out=$3 err=$4
  shift 4
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  if [ "$got" != "$code" ] || [ "$(cat "$work/out")" != "$out" ] || [ "$(cat "$work/err")" != "$err" ]; then
    echo "FAIL $name: exit $got (want $code)"
    echo "--- stdout:"; cat "$work/out"; echo "--- want:"; printf '%s\n' "$out"
    echo "--- stderr:"; cat "$work/err"; echo "--- want:"; printf '%s\n' "$err"
    failures=$((failures + 1))
  fi
}
