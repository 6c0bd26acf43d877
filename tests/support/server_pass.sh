#!/bin/sh
# Runs one test executable as the server pass of a database-layer test: its
# TestDatabase objects are then schemas on the test server named by
# ZORV_TEST_DSN (started by scripts/test_server.sh, which ./test uses). With
# no server the test is reported as skipped (exit 77), never as passed.
#   server_pass.sh NAME EXECUTABLE [ARGS…]
name="$1"
shift
if [ -z "${ZORV_TEST_DSN:-}" ]; then
  echo "server pass skipped: ${ZORV_TEST_SERVER_SKIP:-no test server in this environment (run ./test, or scripts/test_server.sh run ctest)}"
  exit 77
fi
if [ -n "${ZORV_TEST_SERVER_LOG:-}" ]; then
  echo "$name" >>"$ZORV_TEST_SERVER_LOG"
fi
ZORV_TEST_PASS=server
export ZORV_TEST_PASS
exec "$@"
