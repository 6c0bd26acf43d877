#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests and benchmarks: a cluster in a
# temporary folder, run by an unprivileged user, listening only on a Unix
# socket inside that folder, with a private odbc.ini/odbcinst.ini naming it
# (the machine's own ODBC files are never read or written).
#
#   scripts/test_server.sh run CMD ARGS…   start the server, run CMD with the
#                                           environment below, stop and remove
#                                           the server (also when CMD fails or
#                                           is interrupted); exits with CMD's status
#   scripts/test_server.sh restart         restart the server of the current
#                                           environment (used by a test)
#
# Environment given to CMD when the server runs:
#   ZORV_TEST_DSN      data source name of the server ("zorvtest")
#   ODBCSYSINI, ODBCINI  the private ODBC files
#   ZORV_TEST_PGDATA, ZORV_TEST_PGHOST, ZORV_TEST_PGUSER  the cluster, socket folder, superuser
#   ZORV_TEST_SERVER_LOG  each server-pass test that ran appends its name here
# When the server cannot start, CMD still runs, with ZORV_TEST_SERVER_SKIP
# holding the reason and no ZORV_TEST_DSN: the server pass then reports skipped.
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
pgbin="${ZORV_PG_BIN:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)}"
driver="${ZORV_PG_ODBC_DRIVER:-$(ls /usr/lib/*/odbc/psqlodbcw.so /usr/lib/odbc/psqlodbcw.so \
  2>/dev/null | head -1)}"

# Runs a command as the cluster's owner: root cannot run PostgreSQL.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u "$owner" -- "$@"
  else
    "$@"
  fi
}

pgctl() {
  as_owner "$pgbin/pg_ctl" -D "$ZORV_TEST_PGDATA" -w -t 30 -l "$ZORV_TEST_PGHOST/server.log" "$@"
}

no_server() { reason="$1"; }

start_server() {
  [ -x "$pgbin/initdb" ] || { no_server "PostgreSQL is not installed (no initdb)"; return 1; }
  [ -n "$driver" ] || { no_server "the PostgreSQL ODBC driver (psqlodbcw.so) is not installed"; return 1; }
  base="$(mktemp -d /tmp/zorv-pg.XXXXXX)" || { no_server "no temporary folder"; return 1; }
  export ZORV_TEST_PGHOST="$base"
  export ZORV_TEST_PGDATA="$base/data"
  export ZORV_TEST_PGUSER=zorvadmin
  if [ "$(id -u)" -eq 0 ]; then
    chown "$owner" "$base" || { no_server "cannot hand $base to $owner"; return 1; }
  fi
  if ! as_owner "$pgbin/initdb" -D "$ZORV_TEST_PGDATA" -U "$ZORV_TEST_PGUSER" \
       --auth=trust -E UTF8 --locale=C.UTF-8 >"$base/initdb.log" 2>&1; then
    no_server "initdb failed: $(tail -3 "$base/initdb.log" | tr '\n' ' ')"
    return 1
  fi
  if ! pgctl -o "-k $base -c listen_addresses= -c fsync=off -c max_connections=60" start \
       >/dev/null 2>&1; then
    no_server "the server did not start: $(tail -3 "$base/server.log" 2>/dev/null | tr '\n' ' ')"
    return 1
  fi
  mkdir -p "$base/odbc"
  cat >"$base/odbc/odbcinst.ini" <<EOF
[ZorvTestPostgreSQL]
Description=PostgreSQL for the tests
Driver=$driver
EOF
  cat >"$base/odbc/odbc.ini" <<EOF
[zorvtest]
Driver=ZorvTestPostgreSQL
Servername=$base
Port=5432
Database=postgres
Username=$ZORV_TEST_PGUSER
UseServerSidePrepare=1
EOF
  # odbc.ini and the logs must stay readable for the owner as well.
  if [ "$(id -u)" -eq 0 ]; then chmod 755 "$base" "$base/odbc"; fi
  export ODBCSYSINI="$base/odbc" ODBCINI="$base/odbc/odbc.ini"
  export ZORV_TEST_DSN=zorvtest
  export ZORV_TEST_SERVER_LOG="$base/server-pass.log"
  : >"$ZORV_TEST_SERVER_LOG"
  return 0
}

stop_server() {
  if [ -n "${ZORV_TEST_PGDATA:-}" ] && [ -f "$ZORV_TEST_PGDATA/postmaster.pid" ]; then
    pgctl -m immediate stop >/dev/null 2>&1 || true
  fi
  if [ -n "${base:-}" ] && [ -d "$base" ]; then rm -rf "$base"; fi
}

owner="${ZORV_PG_OWNER:-nobody}"

case "${1:-}" in
run)
  shift
  [ $# -gt 0 ] || { echo "usage: $0 run CMD ARGS…" >&2; exit 2; }
  trap stop_server EXIT
  trap 'exit 130' INT TERM
  reason=""
  if ! start_server; then
    stop_server
    unset ZORV_TEST_DSN ZORV_TEST_PGDATA ZORV_TEST_PGHOST ODBCINI ODBCSYSINI ZORV_TEST_SERVER_LOG
    export ZORV_TEST_SERVER_SKIP="${reason:-the test server did not start}"
    echo "server pass: skipped ($ZORV_TEST_SERVER_SKIP)" >&2
  fi
  "$@"
  exit $?
  ;;
restart)
  [ -n "${ZORV_TEST_PGDATA:-}" ] || { echo "no test server in this environment" >&2; exit 2; }
  owner="$(stat -c %U "$ZORV_TEST_PGDATA")"
  pgctl -m fast -o "-k $ZORV_TEST_PGHOST -c listen_addresses= -c fsync=off -c max_connections=60" \
    restart >/dev/null
  ;;
*)
  echo "usage: $0 run CMD ARGS… | restart" >&2
  exit 2
  ;;
esac
