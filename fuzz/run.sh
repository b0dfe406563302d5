#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz": clang, AddressSanitizer, UBSan) and
# runs them, one after the other, under nice.
#   fuzz/run.sh TARGET SECONDS   one target (program, expression, mail,
#                                settings, bundle, formatfloat, formatdate, mask)
#   fuzz/run.sh all SECONDS      every target for SECONDS each
#   fuzz/run.sh smoke            every target for a fixed number of inputs
#                                from a fixed seed, a few seconds each (CI):
#                                the same code gives the same verdict
# The corpus a run grows stays in build/fuzz/corpus/TARGET; the seeds in
# fuzz/corpus/TARGET are only read. Findings go to build/fuzz/findings/, the
# log to build/fuzz/logs/TARGET.log; the last line per target gives the
# executions and the coverage (edges) reached. Exits 1 on a finding.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/fuzz"
cd "$top"

usage() {
  sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}
[ $# -ge 1 ] || usage
what=$1
seconds=${2:-}
smoke=
if [ "$what" = smoke ]; then
  what=all
  smoke=1
  seconds=${seconds:-60}  # only a guard: the smoke stops at its input count
fi
[[ "$seconds" =~ ^[0-9]+$ ]] || usage

# Inputs per target in the smoke: about three seconds each on one core.
smoke_runs() {
  case "$1" in
    mail) echo 3000 ;;
    program | expression) echo 6000 ;;
    settings | bundle) echo 40000 ;;
    *) echo 150000 ;;
  esac
}

if [ -z "${FUZZ_NO_BUILD:-}" ]; then  # set it to run chains side by side on one build
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz >/dev/null
fi

all=$(cd "$build/fuzz" && ls fuzz_* | grep -v '\.a$' | sed 's/^fuzz_//' | sort)
if [ "$what" = all ]; then
  targets=$all
elif grep -qx "$what" <<<"$all"; then
  targets=$what
else
  usage
fi

dict_of() {
  case "$1" in
    program | expression) echo program ;;
    settings | bundle) echo settings ;;
    *) echo "$1" ;;
  esac
}

mkdir -p "$build/logs" "$build/findings"
failed=0
for t in $targets; do
  corpus="$build/corpus/$t"
  if [ -n "$smoke" ]; then  # starts from the seeds alone, every time
    corpus="$build/smoke-corpus/$t"
    rm -rf "$corpus"
  fi
  mkdir -p "$corpus" "$build/findings/$t"
  log="$build/logs/$t.log"
  max_len=4096
  [ "$t" = mail ] && max_len=65536
  limits=(-max_total_time="$seconds")
  [ -n "$smoke" ] && limits+=(-seed=1 -runs="$(smoke_runs "$t")")
  set +e
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
    nice -n 19 "$build/fuzz/fuzz_$t" "${limits[@]}" -timeout=20 -rss_limit_mb=2560 \
    -max_len=$max_len -dict="$top/fuzz/dict/$(dict_of "$t").dict" -print_final_stats=1 \
    -artifact_prefix="$build/findings/$t/" "$corpus" "$top/fuzz/corpus/$t" >"$log" 2>&1
  rc=$?
  set -e
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
  if [ $rc -ne 0 ]; then
    failed=1
    printf '%-12s FINDING (exit %d), see %s and %s\n' "$t" "$rc" "$log" "$build/findings/$t/"
  else
    printf '%-12s %12s executions %6s edges\n' "$t" "${execs:-?}" "${cov:-?}"
  fi
done
exit $failed
