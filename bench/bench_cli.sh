#!/usr/bin/env bash
# zorv as whole processes beside its peers, in the same run on the same warm
# trees: "zorv files list --recursive" against find on 100,000 files in 1,000
# folders; "zorv files run --mode move" renaming 100,000 files in place against
# a bare rename(2) loop and Debian's perl rename. Each figure is the median of
# several runs taken in turn.
set -euo pipefail
bin="${ZORV_BENCH_BIN:?set ZORV_BENCH_BIN to the folder of the benchmark binaries}"
build="${ZORV_BUILD:-$(dirname "$bin")}"
zorv="$build/src/cli/zorv"
baseline="$bin/baseline_cli_rename"
python=/usr/bin/python3
files="${ZORV_BENCH_CLI_FILES:-100000}"
runs="${ZORV_BENCH_CLI_RUNS:-5}"
for tool in "$zorv" "$baseline"; do
  [ -x "$tool" ] || { echo "missing $tool (build the targets zorv and baseline_cli_rename)"; exit 1; }
done
command -v rename >/dev/null || { echo "missing Debian's rename: apt-get install -y rename"; exit 1; }

work="$(mktemp -d /tmp/zorv-bench-cli.XXXXXX)"
trap 'rm -rf "$work"' EXIT

# Milliseconds taken by a command line (run by bash, output discarded).
ms() {
  local start end
  start=$(date +%s%N)
  bash -c "$1" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}'; }

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
list_zorv="'$zorv' files list --recursive '$work/tree'"
list_find="find '$work/tree' -type f -printf '%h/\t%f\n'"
ms "$list_zorv" >/dev/null; ms "$list_find" >/dev/null # warm the tree
z=(); f=()
for _ in $(seq "$runs"); do
  z+=("$(ms "$list_zorv")"); f+=("$(ms "$list_find")")
done
zm=$(median "${z[@]}"); fm=$(median "${f[@]}")
rows=$(bash -c "$list_zorv" 2>/dev/null | tail -n +2 | wc -l)
echo "list --recursive, $rows files:  zorv ${zm} ms   find -printf ${fm} ms   ratio $(ratio "$zm" "$fm") (target <= 1.5)"
rm -rf "$work/tree"

# --- renaming in place -----------------------------------------------------
dir="$work/ren"
fresh() {
  rm -rf "$dir"
  mkdir -p "$dir"
  "$python" -c "
import sys
d, n = sys.argv[1], int(sys.argv[2])
for i in range(n): open(f'{d}/f{i:06d}.txt', 'w').close()" "$dir" "$files"
  sync
}
fresh
# The grid of the run (not timed): list, upper-case names, target = the same folder.
"$zorv" files list "$dir" 2>/dev/null | "$zorv" files names --op 5 2>/dev/null |
  "$zorv" files target "$dir" >"$work/plan.tsv" 2>/dev/null
find "$dir" -type f | sort >"$work/names.txt"
run_zorv="'$zorv' files run --mode move --in '$work/plan.tsv' >'$work/done.tsv'"
run_c="'$baseline' '$dir' '$files'"
run_perl="rename 's{/f(\d+)\.txt\$}{/F\$1.TXT}' <'$work/names.txt'"
check() { [ -e "$dir/F000000.TXT" ] && [ ! -e "$dir/f000000.txt" ] || echo "  ($1 did not rename)"; }
z=(); c=(); p=()
for _ in $(seq "$runs"); do
  fresh; c+=("$(ms "$run_c")"); check "C loop"
  fresh; z+=("$(ms "$run_zorv")"); check zorv
  fresh; p+=("$(ms "$run_perl")"); check rename
done
ok=$(grep -c $'\t成功\t' "$work/done.tsv" || true)
zm=$(median "${z[@]}"); cm=$(median "${c[@]}"); pm=$(median "${p[@]}")
echo "run --mode move, $files renames in place ($ok \"成功\"):  zorv ${zm} ms   rename(2) loop ${cm} ms   perl rename ${pm} ms"
echo "  zorv / rename(2) loop $(ratio "$zm" "$cm") (target <= 1.5)   zorv / perl rename $(ratio "$zm" "$pm") (target < 1)"
