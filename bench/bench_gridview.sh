#!/usr/bin/env bash
# Opening and scrolling a 1,000,000-row data grid offscreen, beside a bare
# QTableView over a model computing the same text.
set -euo pipefail
"$ZORV_BENCH_BIN/bench_gridview"
