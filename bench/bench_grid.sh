#!/usr/bin/env bash
# Grid model on 1,000,000 rows, each figure beside its baseline from the same
# run; every figure, ours and the baselines', is the best of GRID_BENCH_REPEAT runs.
set -euo pipefail
bin="${ZORV_BENCH_BIN:?set ZORV_BENCH_BIN to the folder holding bench_grid}"
n="${GRID_BENCH_ROWS:-1000000}"
work="$(mktemp -d /tmp/zorv-bench-grid.XXXXXX)"
trap 'rm -rf "$work"' EXIT

repeat="${GRID_BENCH_REPEAT:-3}" # each figure is the best of this many runs

"$bin/bench_grid" gen "$work" "$n"
secs() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
now() { date +%s.%N; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
# best CMD...: runs CMD $repeat times; prints the line whose field $field is smallest.
best() {
  local field="$1" line bestline="" bestv=""
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
timed() { # seconds of wall time of a command, output discarded
  local s
  s=$(now)
  "$@" >/dev/null
  secs "$s" "$(now)"
}

# Equality find of every name of list B in a grid of list A.
read -r hits t_find < <(best 2 "$bin/bench_grid" find "$work/a.txt" "$work/b.txt")
read -r hhits t_hash < <(best 2 "$bin/baseline_hash" "$work/a.txt" "$work/b.txt")
sort_comm() {
  LC_ALL=C sort -u "$work/a.txt" >"$work/a.s"
  LC_ALL=C sort -u "$work/b.txt" >"$work/b.s"
  LC_ALL=C comm -12 "$work/a.s" "$work/b.s" | wc -l
}
t_comm=""
for ((i = 0; i < repeat; i++)); do t_comm=$(min "$t_comm" "$(timed sort_comm)"); done
chits=$(sort_comm)
echo "find: $n equality finds on $n rows (index included): ${t_find} s ($hits found)" \
     "vs sort -u + comm -12 ${t_comm} s ($chits distinct found): $(ratio "$t_find" "$t_comm")x (target <= 1)"
echo "find: ${t_find} s vs flat hash table in C++ ${t_hash} s ($hhits found):" \
     "$(ratio "$t_find" "$t_hash")x (target <= 3)"

# Sort by a text column against std::stable_sort of the same strings.
read -r t_sort t_std same < <(best 1 "$bin/bench_grid" sort "$work/table.tsv")
echo "sort: $n text rows ${t_sort} s vs std::stable_sort ${t_std} s:" \
     "$(ratio "$t_sort" "$t_std")x (target <= 2; results $same)"

# Filter.
read -r shown t_filter < <(best 2 "$bin/bench_grid" filter "$work/table.tsv")
echo "filter: \"jg = '相同'\" on $n rows ${t_filter} s ($shown shown) vs target 0.5 s"

# Import against mawk reading every field; peak memory against the text's size.
bytes=$(stat -c %s "$work/table.tsv")
import_run() {
  /usr/bin/time -v -o "$work/time.txt" "$bin/bench_grid" import "$work/table.tsv" >"$work/import.txt"
  local rss wall
  rss=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, p, ":"); s = 0;
    for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' "$work/time.txt")
  echo "$(cat "$work/import.txt") $wall $rss"
}
read -r rows t_import wall_import rss_kb < <(best 2 import_run)
count_fields() { mawk -F'\t' '{ n += NF } END { print n }' "$work/table.tsv"; }
t_mawk=""
for ((i = 0; i < repeat; i++)); do t_mawk=$(min "$t_mawk" "$(timed count_fields)"); done
fields=$(count_fields)
echo "import: $rows lines x 7 columns ${t_import} s (whole process ${wall_import} s)" \
     "vs mawk -F'\\t' ($fields fields) ${t_mawk} s: $(ratio "$t_import" "$t_mawk")x (target <= 1)"
echo "import: peak memory $((rss_kb / 1024)) MiB vs text $((bytes / 1048576)) MiB:" \
     "$(ratio "$((rss_kb * 1024))" "$bytes")x (target < 4)"

# Spreadsheets through "zorv sheet" (reading plus writing the text out):
# .xls files written with python3-xlwt, and a 1,000,000-row .xlsx against
# xlsx2csv (Debian package; skipped when not installed).
zorv="${ZORV_BUILD:-$bin/..}/src/cli/zorv"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
sheets="${SHEET_BENCH_DIR:-$work}"
[ -e "$sheets/formulas.xls" ] || /usr/bin/python3 "$here/make_sheets.py" "$sheets" xls
sheet_run() { # wall seconds and peak KiB of zorv sheet on a file
  /usr/bin/time -f "%e %M" -o "$work/stime.txt" "$zorv" sheet "$@" >"$work/sheet.out"
  cat "$work/stime.txt"
}
read -r n_grid t_grid < <(best 2 "$bin/bench_grid" sheet "$sheets/grid65k.xls")
read -r w_grid rss_grid < <(best 1 sheet_run "$sheets/grid65k.xls")
echo "xls: 65,000 x 3 (text, number, date) read into rows ${t_grid} s ($n_grid rows) vs target 0.15 s;" \
     "zorv sheet whole process ${w_grid} s, peak $((rss_grid / 1024)) MiB"
fbytes=$(stat -c %s "$sheets/formulas.xls")
read -r n_form t_form < <(best 2 "$bin/bench_grid" sheet "$sheets/formulas.xls")
read -r w_form rss_form < <(best 1 sheet_run "$sheets/formulas.xls")
echo "xls: 65,536 x 10 formulas read into rows ${t_form} s ($n_form rows) vs target 0.5 s;" \
     "zorv sheet whole process ${w_form} s; peak memory $((rss_form / 1024)) MiB" \
     "vs file $((fbytes / 1048576)) MiB: $(ratio "$((rss_form * 1024))" "$fbytes")x (target < 5)"
if command -v xlsx2csv >/dev/null; then
  [ -e "$sheets/big.xlsx" ] || /usr/bin/python3 "$here/make_sheets.py" "$sheets" xlsx
  read -r t_big _ < <(best 1 sheet_run "$sheets/big.xlsx")
  t_x2c=$(timed xlsx2csv -d tab "$sheets/big.xlsx")
  echo "xlsx: zorv sheet on 1,000,000 x 2 (shared strings) ${t_big} s vs xlsx2csv ${t_x2c} s:" \
       "$(ratio "$t_x2c" "$t_big")x faster (target >= 5)"
else
  echo "xlsx: xlsx2csv not installed (apt-get install xlsx2csv): comparison skipped"
fi
