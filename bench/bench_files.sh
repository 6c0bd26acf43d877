#!/usr/bin/env bash
# File batch core: listing, in-place renames, copies and operation 9, each
# beside its baseline measured in the same run.
set -euo pipefail
bin="${ZORV_BENCH_BIN:?set ZORV_BENCH_BIN to the folder holding bench_files}"
n="${FILES_BENCH_COUNT:-100000}"
ncopy="${FILES_BENCH_COPIES:-10000}"
work="$(mktemp -d /tmp/zorv-bench-files.XXXXXX)"
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
secs() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
best() { printf '%s\n' "$@" | sort -g | head -1; } # the fastest of several runs

# Listing a warm tree of 100,000 files in 1,000 folders on 3 levels.
"$bin/bench_files" mktree "$work/tree"
find "$work/tree" -type f -printf '%h/\t%f\t%m\n' >/dev/null
ours=() theirs=()
for _ in 1 2 3; do
  s=$(now)
  find "$work/tree" -type f -printf '%h/\t%f\t%m\n' >/dev/null
  theirs+=("$(secs "$s" "$(now)")")
  read -r rows t <<<"$("$bin/bench_files" list "$work/tree")"
  ours+=("$t")
done
t_list=$(best "${ours[@]}")
t_find=$(best "${theirs[@]}")
echo "list: $rows files into the grid ${t_list} s vs find -printf '%h/\\t%f\\t%m\\n' ${t_find} s:" \
     "$(ratio "$t_list" "$t_find")x (target <= 2)"
rm -rf "$work/tree"

# In-place renames (move mode, same folder) against a bare rename(2) loop.
rename_base() {
  "$bin/bench_files" mkfiles "$work/ren" "$n" 0
  sync
  read -r _ t <<<"$("$bin/baseline_rename" "$work/ren" "$n")"
  theirs+=("$t")
  rm -rf "$work/ren"
}
rename_ours() {
  "$bin/bench_files" mkfiles "$work/ren" "$n" 0
  sync
  read -r done t <<<"$("$bin/bench_files" rename "$work/ren" "$n")"
  ours+=("$t")
  rm -rf "$work/ren"
}
ours=() theirs=()
for i in 1 2 3; do
  if ((i % 2)); then rename_base; rename_ours; else rename_ours; rename_base; fi
done
t_ren=$(best "${ours[@]}")
t_base=$(best "${theirs[@]}")
echo "rename: $done in-place renames ${t_ren} s vs rename(2) loop ${t_base} s:" \
     "$(ratio "$t_ren" "$t_base")x (target <= 1.5)"

# The run's journal: the same renames with and without it, then the undo of
# the journaled run against a bare rename(2) loop renaming them back.
journal_off() {
  "$bin/bench_files" mkfiles "$work/ren" "$n" 0
  sync
  read -r _ t <<<"$("$bin/bench_files" rename "$work/ren" "$n")"
  plain+=("$t")
  rm -rf "$work/ren"
}
journal_on() {
  "$bin/bench_files" mkfiles "$work/ren" "$n" 0
  sync
  read -r done t <<<"$("$bin/bench_files" rename-journal "$work/ren" "$n" "$work/run.journal")"
  journaled+=("$t")
  sync
  read -r undone t <<<"$("$bin/bench_files" undo "$work/run.journal")"
  undos+=("$t")
  rm -rf "$work/ren" "$work/run.journal"
}
back_base() {
  "$bin/bench_files" mkfiles "$work/ren" "$n" 0
  "$bin/baseline_rename" "$work/ren" "$n" >/dev/null
  sync
  read -r _ t <<<"$("$bin/baseline_rename" "$work/ren" "$n" back)"
  backs+=("$t")
  rm -rf "$work/ren"
}
plain=() journaled=() undos=() backs=()
for i in 1 2 3; do
  if ((i % 2)); then journal_off; journal_on; back_base; else back_base; journal_on; journal_off; fi
done
t_plain=$(best "${plain[@]}")
t_jrn=$(best "${journaled[@]}")
t_undo=$(best "${undos[@]}")
t_back=$(best "${backs[@]}")
echo "journal: $done in-place renames with journal ${t_jrn} s vs without ${t_plain} s:" \
     "$(ratio "$t_jrn" "$t_plain")x (target <= 1.10)"
echo "undo: $undone renames taken back ${t_undo} s vs rename(2) loop ${t_back} s:" \
     "$(ratio "$t_undo" "$t_back")x (target <= 1.5)"

# Copying 10,000 files of 4 KiB into another folder against cp -r.
"$bin/bench_files" mkfiles "$work/csrc" "$ncopy" 4096
# Write-back of the previous round's data disturbs the next one: every timed
# copy starts after a sync, and the two take turns going first.
copy_cp() {
  sync
  local s
  s=$(now)
  cp -r "$work/csrc" "$work/cp$1"
  theirs+=("$(secs "$s" "$(now)")")
}
copy_ours() {
  mkdir "$work/zc$1"
  sync
  read -r done t <<<"$("$bin/bench_files" copy "$work/csrc" "$work/zc$1" "$ncopy")"
  ours+=("$t")
}
ours=() theirs=()
for i in 1 2 3 4 5; do
  if ((i % 2)); then copy_cp "$i"; copy_ours "$i"; else copy_ours "$i"; copy_cp "$i"; fi
  rm -rf "$work/cp$i" "$work/zc$i"
done
t_copy=$(best "${ours[@]}")
t_cp=$(best "${theirs[@]}")
echo "copy: $done files of 4 KiB ${t_copy} s vs cp -r ${t_cp} s:" \
     "$(ratio "$t_copy" "$t_cp")x (target <= 1.2)"

# Operation 9 over 100,000 rows.
read -r rows t_op9 <<<"$("$bin/bench_files" op9 "$n")"
echo "op9: $rows rows ${t_op9} s (target < 1 s)"

# The list match's "Cancel" end: half of 1,000,000 rows leave the grid in one pass.
read -r rows t_drop <<<"$("$bin/bench_files" dropnotfound 1000000)"
echo "list match, rows not found deleted: 1000000 rows, $rows kept, ${t_drop} s"
