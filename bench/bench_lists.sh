#!/usr/bin/env bash
# List comparison ("核对名单") on two generated lists of LISTS_BENCH_ROWS names
# (default 1,000,000; Chinese names of 2-4 characters, fixed seed, 2 % repeated
# lines, half of each list's names in the other), each figure beside its
# baseline from the same run; every figure is the best of LISTS_BENCH_REPEAT runs.
set -euo pipefail
bin="${ZORV_BENCH_BIN:?set ZORV_BENCH_BIN to the folder holding bench_lists}"
zorv="${ZORV_BUILD:?set ZORV_BUILD to the build folder}/src/cli/zorv"
n="${LISTS_BENCH_ROWS:-1000000}"
repeat="${LISTS_BENCH_REPEAT:-3}"
work="$(mktemp -d /tmp/zorv-bench-lists.XXXXXX)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"

"$bin/bench_lists" gen "$work" "$n"
echo "machine load before: $(uptime)"
now() { date +%s.%N; }
secs() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
# best FIELD CMD...: runs CMD $repeat times; prints the line whose FIELD is smallest.
best() {
  local field="$1" line bestline="" bestv="" v
  shift
  for ((i = 0; i < repeat; i++)); do
    line=$("$@")
    v=$(echo "$line" | awk -v f="$field" '{ print $f }')
    if [ -z "$bestv" ] || awk -v a="$v" -v b="$bestv" 'BEGIN { exit !(a < b) }'; then
      bestv="$v"
      bestline="$line"
    fi
  done
  echo "$bestline"
}
# bestwall CMD...: the best wall time of CMD over $repeat runs, output discarded.
bestwall() {
  local bestv="" s t
  for ((i = 0; i < repeat; i++)); do
    s=$(now)
    "$@" >/dev/null
    t=$(secs "$s" "$(now)")
    if [ -z "$bestv" ] || awk -v a="$t" -v b="$bestv" 'BEGIN { exit !(a < b) }'; then
      bestv="$t"
    fi
  done
  echo "$bestv"
}
sortcomm() {
  LC_ALL=C sort -u "$work/one.txt" >"$work/s1"
  LC_ALL=C sort -u "$work/two.txt" >"$work/s2"
  LC_ALL=C comm -12 "$work/s1" "$work/s2"
}

read -r d1 d2 m t_core < <(best 4 "$bin/bench_lists" compare "$work/one.txt" "$work/two.txt")
read -r _ _ _ t_norm < <(best 4 "$bin/bench_lists" compare "$work/one.txt" "$work/two.txt" --normalize)
read -r b1 b2 bm t_hash < <(best 4 "$bin/baseline_lists_hash" "$work/one.txt" "$work/two.txt")
t_sort=$(bestwall sortcomm)
common=$(sortcomm | wc -l)
t_cli=$(bestwall "$zorv" lists compare "$work/one.txt" "$work/two.txt")
read -r rows t_load < <(best 2 "$bin/bench_lists" load "$work/one.txt")
peak=$(/usr/bin/time -v "$zorv" lists compare "$work/one.txt" "$work/two.txt" 2>&1 >/dev/null |
  awk -F: '/Maximum resident set size/ { printf "%.0f", $2 / 1024 }')
rm -f "$work/reg.mdb"
read -r saved t_save < <("$bin/bench_lists" save "$work/one.txt" "$work/reg.mdb")

echo "lists: $n x $n names; repeated $d1 / $d2 (hash baseline $b1 / $b2); matched $m (hash $bm, comm $common)"
printf '| %-52s | %8s | %-26s | %6s | %s |\n' "figure" "ours" "baseline" "ratio" "target"
printf '| %-52s | %7ss | %-26s | %5s× | %s |\n' \
  "compare in the core, 1M x 1M" "$t_core" "sort -u both + comm ${t_sort}s" "$(ratio "$t_core" "$t_sort")" "<= 1"
printf '| %-52s | %7ss | %-26s | %5s× | %s |\n' \
  "compare in the core, 1M x 1M" "$t_core" "flat hash in C++ ${t_hash}s" "$(ratio "$t_core" "$t_hash")" "<= 3"
printf '| %-52s | %7ss | %-26s | %5s× | %s |\n' \
  "zorv lists compare end to end" "$t_cli" "sort -u both + comm ${t_sort}s" "$(ratio "$t_cli" "$t_sort")" "<= 1.5"
printf '| %-52s | %7ss | %-26s | %5s× | %s |\n' \
  "compare with folding (--normalize)" "$t_norm" "exact compare ${t_core}s" "$(ratio "$t_norm" "$t_core")" "<= 3"
printf '| %-52s | %7ss | %-26s | %6s | %s |\n' "load $rows lines into a list grid" "$t_load" "" "" "< 0.5 s"
printf '| %-52s | %7ss | %-26s | %6s | %s |\n' "save $saved rows to the register" "$t_save" "" "" "< 10 s"
printf '| %-52s | %5sMiB | %-26s | %6s | %s |\n' "peak memory of zorv lists compare" "$peak" "" "" "< 400 MiB"

# The register half of the name-list tools has its own script.
here="$(dirname "$0")"
if [ -f "$here/bench_lists_register.sh" ]; then
  echo "== bench_lists_register (from bench_lists)"
  bash "$here/bench_lists_register.sh"
fi
echo "machine load after: $(uptime)"
