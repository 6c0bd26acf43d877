#!/usr/bin/env bash
# zorv as whole processes beside its peers, in the same run on the same warm
# trees: "zorv files list --recursive" against find on 100,000 files in 1,000
# folders; "zorv files run --mode move" renaming 100,000 files in place against
# a bare rename(2) loop and Debian's perl rename. Figures are medians of runs
# taken in turn; CPU time (user + system) is shown beside the wall time since
# it does not depend on what else the machine is doing.
set -euo pipefail
bin="${ZORV_BENCH_BIN:?set ZORV_BENCH_BIN to the folder of the benchmark binaries}"
build="${ZORV_BUILD:-$(dirname "$bin")}"
zorv="$build/src/cli/zorv"
baseline="$bin/baseline_rename"
floor="$bin/baseline_walk_stat"
python=/usr/bin/python3
files="${ZORV_BENCH_CLI_FILES:-100000}"
runs="${ZORV_BENCH_CLI_RUNS:-5}"
list_runs="${ZORV_BENCH_CLI_LIST_RUNS:-15}" # listings take a tenth of a second: more runs
for tool in "$zorv" "$baseline" "$floor"; do
  [ -x "$tool" ] || { echo "missing $tool (build zorv, baseline_rename, baseline_walk_stat)"; exit 1; }
done
command -v rename >/dev/null || { echo "missing Debian's rename: apt-get install -y rename"; exit 1; }

work="$(mktemp -d /tmp/zorv-bench-cli.XXXXXX)"
trap 'rm -rf "$work"' EXIT

# "wall cpu" in milliseconds for a command line run by bash, output discarded.
measure() {
  local TIMEFORMAT='%3R %3U %3S' t
  t=$({ time bash -c "$1" >/dev/null 2>&1; } 2>&1) || true
  awk '{printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000}' <<<"$t"
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}'; }
# Runs each named command line $runs times in turn (after $before, if set);
# leaves the medians in wall[name] and cpu[name].
declare -A wall cpu
compare() {
  local -A w c
  local name r m
  for _ in $(seq "$runs"); do
    for name in "$@"; do
      [ -n "${before:-}" ] && bash -c "$before" >/dev/null 2>&1
      read -r r m <<<"$(measure "${cmd[$name]}")"
      w[$name]+="$r "; c[$name]+="$m "
      [ -n "${after:-}" ] && { bash -c "$after" >/dev/null 2>&1 || echo "  ($name: check failed)"; }
    done
  done
  for name in "$@"; do
    # shellcheck disable=SC2086
    wall[$name]=$(median ${w[$name]}); cpu[$name]=$(median ${c[$name]})
  done
}
line() { printf '  %-34s %6d ms wall %6d ms cpu\n' "$1" "${wall[$1]}" "${cpu[$1]}"; }
declare -A cmd

# --- listing ---------------------------------------------------------------
"$python" - "$work/tree" "$files" <<'PY'
import os, sys
root, total = sys.argv[1], int(sys.argv[2])
per = max(1, total // 1000)
n = 0
for a in range(10):
    for b in range(10):
        for c in range(10):
            d = f"{root}/d{a}/e{b}/f{c}"
            os.makedirs(d, exist_ok=True)
            for i in range(per):
                open(f"{d}/photo_{n:06d}.jpg", "w").close()
                n += 1
PY
cmd[zorv list --recursive]="'$zorv' files list --recursive '$work/tree'"
cmd[find -type f -printf]="find '$work/tree' -type f -printf '%h/\t%f\n'"
cmd[zorv list --recursive --hidden]="'$zorv' files list --recursive --hidden '$work/tree'"
cmd[find -printf %m (a stat each)]="find '$work/tree' -type f -printf '%h/\t%f\t%m\n'"
# The least a listing with a stat per file can do on two threads: no sorting,
# no decoding, no output (baseline_walk_stat.cpp).
cmd[floor: 2 threads, a stat each]="'$floor' '$work/tree'"
rows=$(bash -c "${cmd[zorv list --recursive]}" 2>/dev/null | tail -n +2 | wc -l) # warms the tree
bash -c "${cmd[find -type f -printf]}" >/dev/null
before="" after=""
runs=$list_runs compare "zorv list --recursive" "find -type f -printf" "zorv list --recursive --hidden" \
  "find -printf %m (a stat each)" "floor: 2 threads, a stat each"
echo "list, $rows files in 1,000 folders:"
for n in "zorv list --recursive" "find -type f -printf" "zorv list --recursive --hidden" \
  "find -printf %m (a stat each)" "floor: 2 threads, a stat each"; do line "$n"; done
echo "  zorv list --recursive / find -type f: $(ratio "${wall[zorv list --recursive]}" \
  "${wall[find -type f -printf]}") wall, $(ratio "${cpu[zorv list --recursive]}" \
  "${cpu[find -type f -printf]}") cpu (target <= 1.5)"
echo "  zorv list --recursive / find %m:      $(ratio "${wall[zorv list --recursive]}" \
  "${wall[find -printf %m (a stat each)]}") wall, $(ratio "${cpu[zorv list --recursive]}" \
  "${cpu[find -printf %m (a stat each)]}") cpu"
echo "  floor / find -type f:                 $(ratio "${wall[floor: 2 threads, a stat each]}" \
  "${wall[find -type f -printf]}") wall"
rm -rf "$work/tree"

# --- renaming in place -----------------------------------------------------
dir="$work/ren"
mkdir -p "$dir"
"$python" -c "
import sys
d, n = sys.argv[1], int(sys.argv[2])
for i in range(n): open(f'{d}/f{i:06d}.txt', 'w').close()" "$dir" "$files"
# The grid of the run (not timed): list, upper-case names, target = the same folder.
"$zorv" files list "$dir" 2>/dev/null | "$zorv" files names --op 5 2>/dev/null |
  "$zorv" files target "$dir" >"$work/plan.tsv" 2>/dev/null
find "$dir" -type f | sort >"$work/names.txt"
cmd[zorv run --mode move]="'$zorv' files run --mode move --in '$work/plan.tsv' >'$work/done.tsv'"
cmd[rename(2) loop]="'$baseline' '$dir' '$files'"
cmd[perl rename]="rename 's{/f(\d+)\.txt\$}{/F\$1.TXT}' <'$work/names.txt'"
before="sync"
after="[ -e '$dir/F000000.TXT' ] && [ ! -e '$dir/f000000.txt' ] && '$baseline' '$dir' '$files' back"
compare "rename(2) loop" "zorv run --mode move" "perl rename"
ok=$(grep -c $'\t成功\t' "$work/done.tsv" || true)
echo "run --mode move, $files renames in place ($ok rows \"成功\"):"
for n in "zorv run --mode move" "rename(2) loop" "perl rename"; do line "$n"; done
echo "  zorv / rename(2) loop: $(ratio "${wall[zorv run --mode move]}" "${wall[rename(2) loop]}") wall," \
  "$(ratio "${cpu[zorv run --mode move]}" "${cpu[rename(2) loop]}") cpu (target <= 1.5)"
echo "  zorv / perl rename:    $(ratio "${wall[zorv run --mode move]}" "${wall[perl rename]}") wall," \
  "$(ratio "${cpu[zorv run --mode move]}" "${cpu[perl rename]}") cpu (target < 1)"
