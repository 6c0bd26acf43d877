#!/usr/bin/env bash
# Merge of column B, split of column A and the register query on 1,000,000
# rows (generated with a fixed seed), in the core; merge and split also
# through "zorv lists" end to end. Each figure is the best of
# LISTS_REGISTER_REPEAT runs.
set -euo pipefail
bin="${ZORV_BENCH_BIN:?set ZORV_BENCH_BIN to the folder holding bench_lists_register}"
build="${ZORV_BUILD:-$bin/..}"
n="${LISTS_REGISTER_ROWS:-1000000}"
repeat="${LISTS_REGISTER_REPEAT:-3}"
work="$(mktemp -d /tmp/zorv-bench-lists-register.XXXXXX)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"

# best MODE ARGS...: the smallest first field of repeated runs, with its line.
best() {
  local line bestline="" bestv=""
  for ((i = 0; i < repeat; i++)); do
    line=$("$@")
    v=${line%% *}
    if [ -z "$bestv" ] || awk -v a="$v" -v b="$bestv" 'BEGIN { exit !(a < b) }'; then
      bestv="$v"
      bestline="$line"
    fi
  done
  echo "$bestline"
}
now() { date +%s.%N; }
echo "machine load before: $(uptime)"

read -r t_merge joined < <(best "$bin/bench_lists_register" merge "$n")
echo "merge: $n rows, $joined rows joined: ${t_merge} s (target < 1.5 s)"
read -r t_split pieces < <(best "$bin/bench_lists_register" split "$n")
echo "split: $n rows into $pieces rows: ${t_split} s (target < 1.5 s)"

query_once() {
  rm -rf "$work/db" "$work/config"
  mkdir -p "$work/db"
  "$bin/bench_lists_register" query "$n" "$work/db"
}
read -r t_query rows < <(best query_once)
echo "register query: $rows rows into the grid: ${t_query} s (target < 3 s)"

zorv="$build/src/cli/zorv"
if [ -x "$zorv" ]; then
  "$bin/bench_lists_register" tsv "$n" "$work/in.tsv"
  t_cli=""
  for ((i = 0; i < repeat; i++)); do
    s=$(now)
    "$zorv" lists merge --unique <"$work/in.tsv" >"$work/out.tsv"
    t=$(awk -v a="$s" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }')
    if [ -z "$t_cli" ] || awk -v a="$t" -v b="$t_cli" 'BEGIN { exit !(a < b) }'; then t_cli=$t; fi
  done
  echo "zorv lists merge --unique: $n rows end to end: ${t_cli} s ($(($(wc -l <"$work/out.tsv") - 1)) rows out)"
fi
echo "machine load after: $(uptime)"
