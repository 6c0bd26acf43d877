#!/usr/bin/env bash
# The team database on the local test server (scripts/test_server.sh): saving
# 100,000 register rows over ODBC in one transaction (the bulk statement, and
# the comparison window's own list save) beside psql's \copy of the same rows
# from a tab-separated file, and querying them back into the register's grid.
# Each figure is the best of TEAMDB_BENCH_REPEAT runs, each run into an empty
# register.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "${ZORV_TEST_DSN:-}" ]; then
  exec "$here/scripts/test_server.sh" run bash "$0" "$@"
fi
bin="${ZORV_BENCH_BIN:-$here/build/bench}"
zorv="${ZORV_BUILD:-$here/build}/src/cli/zorv"
n="${TEAMDB_BENCH_ROWS:-100000}"
repeat="${TEAMDB_BENCH_REPEAT:-3}"
work="$(mktemp -d /tmp/zorv-bench-teamdb.XXXXXX)"
trap 'rm -rf "$work"' EXIT
psql_admin() {
  psql -X -q -v ON_ERROR_STOP=1 -h "$ZORV_TEST_PGHOST" -U "$ZORV_TEST_PGUSER" -d postgres "$@"
}
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

# A role with its own schema holding the program's tables.
psql_admin -c "DROP SCHEMA IF EXISTS bench CASCADE; DROP ROLE IF EXISTS bench;" \
  -c "CREATE ROLE bench LOGIN; CREATE SCHEMA bench AUTHORIZATION bench;"
"$zorv" db init --dsn "$ZORV_TEST_DSN" --user bench 2>/dev/null
parm="ConnectString='DSN=$ZORV_TEST_DSN;UID=bench;PWD='"
"$bin/bench_teamdb" tsv "$work/rows.tsv" "$n"

save="" savelist="" copy="" query="" rows=0
for ((i = 0; i < repeat; i++)); do
  psql_admin -c "TRUNCATE bench.htt1"
  s=$("$bin/bench_teamdb" save "$parm" "$n")
  save=$(min "$save" "$s")
  read -r q rows < <("$bin/bench_teamdb" query "$parm")
  query=$(min "$query" "$q")
  psql_admin -c "TRUNCATE bench.htt1"
  s=$("$bin/bench_teamdb" savelist "$parm" "$n")
  savelist=$(min "$savelist" "$s")
  psql_admin -c "TRUNCATE bench.htt1"
  start=$(date +%s.%N)
  psql -X -q -h "$ZORV_TEST_PGHOST" -U bench -d postgres \
    -c "\\copy bench.htt1 (xh, bs, rq, md, jg) FROM '$work/rows.tsv'"
  end=$(date +%s.%N)
  copy=$(min "$copy" "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')")
done
psql_admin -c "DROP SCHEMA bench CASCADE; DROP ROLE bench;"

ratio=$(awk -v a="$save" -v b="$copy" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
echo "save $n register rows over ODBC: ${save} s   psql \\copy: ${copy} s   ratio ${ratio}x   (targets < 10 s, <= 3x)"
echo "save a list of $n names as the comparison window does: ${savelist} s   (target < 10 s)"
echo "query $rows rows into the register grid: ${query} s   (target < 2 s)"
