#!/usr/bin/env bash
# Times scrivlane-bench beside grep (Find) and sed -i (Replace) on the corpus
# made by make-corpus.py, and checks that both find the same files.
#
#   bench/run-bench.sh [find|replace|large|all]
#
# CORPUS (default bench/out) holds medium/ and large/; they are generated when
# missing with MAKE_CORPUS (default ../shared/bench/make-corpus.py).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
what=${1:-all}
corpus=${CORPUS:-$here/out}
make_corpus=${MAKE_CORPUS:-$root/../shared/bench/make-corpus.py}
bench=${BENCH:-$root/build/bench/scrivlane-bench}
scratch=${SCRATCH:-$corpus/scratch}

[ -x "$bench" ] || { echo "build first: cmake --preset default && cmake --build --preset default" >&2; exit 1; }
mkdir -p "$corpus"
for preset in medium large-file; do
  dir=$corpus/${preset%-file}
  [ -d "$dir" ] || python3 "$make_corpus" "$dir" --preset "$preset" >/dev/null
done

now() { date +%s.%N; }
elapsed() { python3 -c "import sys; print(f'{float(sys.argv[2]) - float(sys.argv[1]):.2f}')" "$1" "$2"; }
ratio() { python3 -c "import sys; print(f'{float(sys.argv[1]) / max(float(sys.argv[2]), 1e-9):.2f}')" "$1" "$2"; }
time_cmd() {  # prints wall seconds; the command's stdout goes to $out, its CPU seconds to $cpu_file
  local t0 t1
  sync
  t0=$(now)
  /usr/bin/time -f '%U %S' -o "$scratch/cpu" "$@" >"$out" 2>/dev/null || true
  t1=$(now)
  awk '{printf "%.2f", $1 + $2}' "$scratch/cpu" >"$scratch/cpu.sum"
  elapsed "$t0" "$t1"
}
cpu() { cat "$scratch/cpu.sum"; }

compare_find() {  # label, scrivlane args..., -- grep args...
  local label=$1; shift
  local sargs=() gargs=()
  while [ "$1" != "--" ]; do sargs+=("$1"); shift; done; shift
  gargs=("$@")
  local tree=$corpus/medium
  out=$scratch/s.out; local ts; ts=$(time_cmd "$bench" find "${sargs[@]}" --all "$tree")
  { grep -v "^files: " "$scratch/s.out" || true; } | sort >"$scratch/s.list"
  out=$scratch/g.out; local tg; tg=$(time_cmd grep "${gargs[@]}" "$tree")
  sort "$scratch/g.out" >"$scratch/g.list"
  # UTF-16 files are decoded only by Scrivlane; grep cannot see their words.
  local only_s only_g
  only_s=$(comm -23 "$scratch/s.list" "$scratch/g.list" | while read -r f; do
      head -c2 "$f" | od -An -tx1 | grep -q 'ff fe' || echo "$f"; done | wc -l)
  only_g=$(comm -13 "$scratch/s.list" "$scratch/g.list" | wc -l || true)
  printf '%-34s scrivlane %6ss  grep %6ss  ratio %5s  files %6s/%-6s  differ: %s+%s\n' \
    "$label" "$ts" "$tg" "$(ratio "$ts" "$tg")" "$(wc -l <"$scratch/s.list")" \
    "$(wc -l <"$scratch/g.list")" "$only_s" "$only_g"
}

fresh_copies() {  # source -> $scratch/a and $scratch/b
  rm -rf "$scratch/a" "$scratch/b"
  cp -a "$1" "$scratch/a"; cp -a "$1" "$scratch/b"
  sync
  # ext4 avoids reusing inodes freed in the last 30 s and searches around them,
  # which would slow down whichever tool creates its files first.
  sleep "${SETTLE:-35}"
}

compare_replace() {  # label, tree, find, replace
  local label=$1 tree=$2 find=$3 repl=$4
  fresh_copies "$tree"
  out=$scratch/s.out; local ts cs; ts=$(time_cmd "$bench" replace --find "$find" --replace "$repl" --case --all "$scratch/a"); cs=$(cpu)
  local files; files=$(grep '^files: ' "$scratch/s.out" | cut -d' ' -f2)
  local reps; reps=$(grep '^replacements: ' "$scratch/s.out" | cut -d' ' -f2)
  out=$scratch/g.out; local tg cg; tg=$(time_cmd find "$scratch/b" -type f -exec sed -i "s/$find/$repl/g" {} +); cg=$(cpu)
  printf '%-34s scrivlane %6ss (cpu %5ss)  sed -i %6ss (cpu %5ss)  ratio %5s  files %s  replacements %s\n' \
    "$label" "$ts" "$cs" "$tg" "$cg" "$(ratio "$ts" "$tg")" "$files" "$reps"
}

peak_rss() {  # KiB of the bench's replace on a fresh copy of the tree
  fresh_copies "$1"
  /usr/bin/time -f '%M' "$bench" replace --find lorem --replace ipsum --case --all "$scratch/a" 2>&1 >/dev/null | tail -n1
}

mkdir -p "$scratch"
echo "corpus: $corpus   bench: $bench"
if [ "$what" = find ] || [ "$what" = all ]; then
  # Both tools read the tree from the page cache: warm it first.
  grep -rlF neverpresent "$corpus/medium" >/dev/null || true
  compare_find "find needle (any case)" --find needle -- -rliF needle
  compare_find "find needle (case)" --find needle --case -- -rlF needle
  compare_find "find needle (whole word)" --find needle --whole -- -rliwF needle
  compare_find "find neverpresent" --find neverpresent -- -rliF neverpresent
  compare_find "find needle in *.txt" --find needle --filters '*.txt' -- -rliF --include='*.txt' needle
fi
if [ "$what" = replace ] || [ "$what" = all ]; then
  compare_replace "replace lorem (medium tree)" "$corpus/medium" lorem ipsum
fi
if [ "$what" = large ] || [ "$what" = all ]; then
  compare_replace "replace lorem (200 MB file)" "$corpus/large" lorem ipsum
  if [ ! -d "$corpus/large2" ]; then
    mkdir -p "$corpus/large2"; cat "$corpus/large/large.txt" "$corpus/large/large.txt" >"$corpus/large2/large.txt"
  fi
  compare_replace "replace lorem (400 MB file)" "$corpus/large2" lorem ipsum
  size=$(stat -c %s "$corpus/large/large.txt")
  rss=$(peak_rss "$corpus/large")
  echo "peak memory on the 200 MB file: $((rss / 1024)) MiB = $(ratio "$((rss * 1024))" "$size") x file size"
fi
rm -rf "$scratch/a" "$scratch/b"
