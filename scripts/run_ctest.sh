#!/usr/bin/env bash
# Runs ctest in build/ with the arguments given, then says how many tests of
# the server pass ran against the test server (or why none could).
set -uo pipefail
cd "$(dirname "$0")/../build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
status=$?
if [ -n "${ZORV_TEST_SERVER_LOG:-}" ] && [ -f "$ZORV_TEST_SERVER_LOG" ]; then
  echo "server pass: $(sort -u "$ZORV_TEST_SERVER_LOG" | wc -l) tests ran against the PostgreSQL test server"
else
  echo "server pass: skipped (${ZORV_TEST_SERVER_SKIP:-no test server})"
fi
exit $status
