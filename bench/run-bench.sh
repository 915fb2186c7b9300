#!/usr/bin/env bash
# Times scrivlane-cli beside ripgrep and grep (Find) and sed -i (Replace) on
# the corpus made by make-corpus.py, checks that they find the same files, and
# prints each goal's ratio beside its target.
#
#   bench/run-bench.sh [find|regex|replace|undo|restore|preview|large|folders|ignore|window|all|growth]
#
# growth is not part of all: it builds a tree ten times the medium one (2.4 GB).
# RUNS (default 5) timings of each Find are taken, the median kept; Replace
# takes REPLACE_RUNS (default 1) because every run needs fresh copies; the
# tools take turns going first.
#
# CORPUS (default bench/out) holds medium/ and large/; they are generated when
# missing with MAKE_CORPUS (default bench/make-corpus.py). LARGE_2GB=1 adds to
# the large mode a 2 GB file (ten copies of the 200 MB one, made in SCRATCH
# and removed after).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
what=${1:-all}
corpus=${CORPUS:-$here/out}
make_corpus=${MAKE_CORPUS:-$here/make-corpus.py}
bench=${BENCH:-$root/build/bench/scrivlane-cli}
window_bench=${WINDOW_BENCH:-$(dirname "$bench")/scrivlane-window-bench}
scratch=${SCRATCH:-$corpus/scratch}

[ -x "$bench" ] || { echo "build first: cmake --preset default && cmake --build --preset default" >&2; exit 1; }
mkdir -p "$corpus"
presets=(medium)
# The 200 MB file only for the modes that read it.
if [ "$what" = large ] || [ "$what" = all ]; then presets+=(large-file); fi
for preset in "${presets[@]}"; do
  dir=$corpus/${preset%-file}
  [ -d "$dir" ] || python3 "$make_corpus" "$dir" --preset "$preset" >/dev/null
done

runs=${RUNS:-5}
replace_runs=${REPLACE_RUNS:-1}
have_rg=$(command -v rg >/dev/null && echo 1 || echo 0)

now() { date +%s.%N; }
elapsed() { python3 -c "import sys; print(f'{float(sys.argv[2]) - float(sys.argv[1]):.3f}')" "$1" "$2"; }
seconds() { python3 -c "import sys; print(f'{float(sys.argv[1]) / 1000:.3f}')" "$1"; }  # of milliseconds
ratio() { python3 -c "import sys; print(f'{float(sys.argv[1]) / max(float(sys.argv[2]), 1e-9):.2f}')" "$1" "$2"; }
time_cmd() {  # prints wall seconds; the command's stdout goes to $out, its CPU seconds to $cpu_file
  local t0 t1
  sync
  t0=$(now)
  local status=0
  /usr/bin/time -f '%U %S' -o "$scratch/cpu" "$@" >"$out" 2>"$scratch/err" || status=$?
  t1=$(now)
  # scrivlane-cli prints its counts on standard error; they are read from $out.
  grep -E '^(files|replacements): ' "$scratch/err" >>"$out" || true
  # grep says "nothing found" by its status; scrivlane-cli only says "error".
  if [ "$status" != 0 ] && [ "$1" = "$bench" ]; then
    echo "scrivlane-cli exited $status: $(tail -n1 "$scratch/err")" >&2
  fi
  tail -n1 "$scratch/cpu" | awk '{printf "%.2f", $1 + $2}' >"$scratch/cpu.sum"
  elapsed "$t0" "$t1"
}
cpu() { cat "$scratch/cpu.sum"; }
median() { python3 -c "import sys, statistics; print(f'{statistics.median(map(float, sys.argv[1:])):.3f}')" "$@"; }
median_time() {  # RUNS runs of the command; prints the median wall seconds
  local times=() i
  for ((i = 0; i < runs; i++)); do times+=("$(time_cmd "$@")"); done
  median "${times[@]}"
}
verdict() { python3 -c "import sys; print('met' if float(sys.argv[1]) <= float(sys.argv[2]) else 'NOT met')" "$1" "$2"; }

compare_find() {  # label, scrivlane args..., -- grep args... -- rg args...
  local label=$1; shift
  local sargs=() gargs=() rargs=()
  while [ "$1" != "--" ]; do sargs+=("$1"); shift; done; shift
  while [ "$1" != "--" ]; do gargs+=("$1"); shift; done; shift
  rargs=("$@")
  local tree=$corpus/medium
  # The tools take turns run by run, so a drift in the machine's speed (another
  # process, the page cache, the clock) weighs on all of them alike.
  local tss=() tgs=() tr1s=() trs=() i
  for ((i = 0; i < runs; i++)); do
    out=$scratch/s.out; tss+=("$(time_cmd "$bench" find "${sargs[@]}" --all "$tree")")
    out=$scratch/g.out; tgs+=("$(time_cmd grep "${gargs[@]}" "$tree")")
    if [ "$have_rg" = 1 ]; then
      out=$scratch/r.out; tr1s+=("$(time_cmd rg -j1 "${rargs[@]}" "$tree")")
      trs+=("$(time_cmd rg "${rargs[@]}" "$tree")")
    fi
  done
  local ts tg; ts=$(median "${tss[@]}"); tg=$(median "${tgs[@]}")
  { grep -v "^files: " "$scratch/s.out" || true; } | sort >"$scratch/s.list"
  sort "$scratch/g.out" >"$scratch/g.list"
  # UTF-16 files are decoded only by Scrivlane; grep cannot see their words.
  local only_s only_g
  only_s=$(comm -23 "$scratch/s.list" "$scratch/g.list" | while read -r f; do
      head -c2 "$f" | od -An -tx1 | grep -q 'ff fe' || echo "$f"; done | wc -l)
  only_g=$(comm -13 "$scratch/s.list" "$scratch/g.list" | wc -l || true)
  printf '%-30s scrivlane %6ss  grep %6ss  files %6s/%-6s  differ: %s+%s\n' \
    "$label" "$ts" "$tg" "$(wc -l <"$scratch/s.list")" "$(wc -l <"$scratch/g.list")" "$only_s" "$only_g"
  if [ "$have_rg" = 1 ]; then
    local tr1 tr r1 r; tr1=$(median "${tr1s[@]}"); tr=$(median "${trs[@]}")
    r1=$(ratio "$ts" "$tr1"); r=$(ratio "$ts" "$tr")
    printf '%-30s   rg -j1 %6ss  ratio %5s (target 0.70, %s)   rg %6ss  ratio %5s (target 1.00, %s)\n' \
      "" "$tr1" "$r1" "$(verdict "$r1" 0.7)" "$tr" "$r" "$(verdict "$r" 1.0)"
  fi
}

fresh_copies() {  # source -> $scratch/a and $scratch/b
  rm -rf "$scratch/a" "$scratch/b"
  cp -a "$1" "$scratch/a"; cp -a "$1" "$scratch/b"
  sync
  # ext4 avoids reusing inodes freed in the last 30 s and searches around them,
  # which would slow down whichever tool creates its files first.
  sleep "${SETTLE:-35}"
}

compare_replace() {  # label, tree, find, replace[, replace|undo]; prints the ratio's line and keeps it in $last_ratio
  local label=$1 tree=$2 find=$3 repl=$4 command=${5:-replace}
  local tss=() tgs=() css=() cgs=() i
  # Undo writes the find text where the replacement stands: sed the other way round.
  local from=$find to=$repl
  [ "$command" = undo ] && { from=$repl; to=$find; }
  run_s() { out=$scratch/s.out; tss+=("$(time_cmd "$bench" "$command" --find "$find" --replace "$repl" --case --all "$scratch/a")"); css+=("$(cpu)"); }
  run_g() { out=$scratch/g.out; tgs+=("$(time_cmd find "$scratch/b" -type f -exec sed -i "s/$from/$to/g" {} +)"); cgs+=("$(cpu)"); }
  for ((i = 0; i < replace_runs; i++)); do
    fresh_copies "$tree"
    # Each tool frees an inode per file it replaces, which slows whichever
    # creates files next (see fresh_copies): they take turns going first, and
    # the second waits for the first one's inodes to settle.
    if ((i % 2 == 0)); then run_s; sleep "${SETTLE:-35}"; run_g; else run_g; sleep "${SETTLE:-35}"; run_s; fi
  done
  local ts tg cs cg
  ts=$(median "${tss[@]}"); tg=$(median "${tgs[@]}"); cs=$(median "${css[@]}"); cg=$(median "${cgs[@]}")
  local files; files=$(grep '^files: ' "$scratch/s.out" | cut -d' ' -f2)
  local reps; reps=$(grep '^replacements: ' "$scratch/s.out" | cut -d' ' -f2)
  last_time=$ts
  last_ratio=$(ratio "$ts" "$tg")
  printf '%-30s scrivlane %6ss (cpu %5ss)  sed -i %6ss (cpu %5ss)  ratio %5s  files %s  replacements %s\n' \
    "$label" "$ts" "$cs" "$tg" "$cg" "$last_ratio" "$files" "$reps"
  ((replace_runs > 1)) && echo "  each run: scrivlane ${tss[*]}  sed -i ${tgs[*]}"
  return 0
}

peak_rss() {  # KiB of the bench's replace on a fresh copy of the tree
  fresh_copies "$1"
  /usr/bin/time -f '%M' "$bench" replace --find lorem --replace ipsum --case --all "$scratch/a" 2>&1 >/dev/null | tail -n1
}

mkdir -p "$scratch"
echo "corpus: $corpus   bench: $bench"
if [ "$what" = find ] || [ "$what" = all ]; then
  # Every tool reads the tree from the page cache: warm it first.
  grep -rlF neverpresent "$corpus/medium" >/dev/null || true
  compare_find "find needle (any case)" --find needle -- -rliF needle -- -l -F -i needle
  compare_find "find needle (case)" --find needle --case -- -rlF needle -- -l -F needle
  compare_find "find needle (whole word)" --find needle --whole -- -rliwF needle -- -l -F -i -w needle
  compare_find "find neverpresent" --find neverpresent -- -rliF neverpresent -- -l -F -i neverpresent
  compare_find "find needle in *.txt" --find needle --filters '*.txt' -- -rliF --include='*.txt' needle -- -l -F -i -g '*.txt' needle
fi
if [ "$what" = regex ] || [ "$what" = all ]; then
  # Regular expressions, letter case kept as rg keeps it, against one rg thread.
  compare_regex() {  # label, target, pattern
    local label=$1 target=$2 pattern=$3 tree=$corpus/medium
    out=$scratch/s.out; local ts; ts=$(median_time "$bench" find --regex --case --find "$pattern" --all "$tree")
    local ns; ns=$(grep -vc "^files: " "$scratch/s.out" || true)
    if [ "$have_rg" != 1 ]; then
      printf '%-30s scrivlane %6ss  files %6s  (rg not installed: no ratio)\n' "$label" "$ts" "$ns"
      return
    fi
    out=$scratch/r.out; local tr; tr=$(median_time rg -l -j1 "$pattern" "$tree")
    local r; r=$(ratio "$ts" "$tr")
    printf '%-30s scrivlane %6ss  rg -j1 %6ss  files %6s/%-6s  ratio %5s (target %s, %s)\n' \
      "$label" "$ts" "$tr" "$ns" "$(wc -l <"$scratch/r.out")" "$r" "$target" "$(verdict "$r" "$target")"
  }
  grep -rlF neverpresent "$corpus/medium" >/dev/null || true
  compare_regex "regex ne+dle[0-9]*" 1.50 'ne+dle[0-9]*'
  compare_regex "regex \\b[a-z]{12}\\b" 3.00 '\b[a-z]{12}\b'
fi
if [ "$what" = replace ] || [ "$what" = all ]; then
  compare_replace "replace lorem (medium tree)" "$corpus/medium" lorem ipsum
  echo "  goal: durable Replace at most 1.00 x sed -i: $last_ratio ($(verdict "$last_ratio" 1.0))"
fi
if [ "$what" = restore ] || [ "$what" = all ]; then
  # Replace, then Restore from the originals the replace kept (its own data
  # folder, on the tree's file system): the tree must equal the corpus again.
  rm -rf "$scratch/a" "$scratch/restore-data"; cp -a "$corpus/medium" "$scratch/a"; sync
  out=$scratch/s.out
  tr=$(XDG_DATA_HOME=$scratch/restore-data time_cmd "$bench" replace --find lorem --replace ipsum --case --all "$scratch/a")
  tt=$(XDG_DATA_HOME=$scratch/restore-data time_cmd "$bench" restore "$scratch/a")
  same=$(diff -r "$corpus/medium" "$scratch/a" >/dev/null && echo "tree as before" || echo "tree DIFFERS")
  printf '%-30s replace %6ss  restore %6ss  files %s  %s\n' "restore lorem (medium tree)" \
    "$tr" "$tt" "$(sed -n 's/^files: //p' "$scratch/s.out")" "$same"
fi
if [ "$what" = undo ] || [ "$what" = all ]; then
  # Undo of "lorem" -> "ipsum" on the tree as generated (it holds both words).
  compare_replace "undo lorem (medium tree)" "$corpus/medium" lorem ipsum undo
fi
if [ "$what" = large ] || [ "$what" = all ]; then
  compare_replace "replace lorem (200 MB file)" "$corpus/large" lorem ipsum
  t200=$last_time
  if [ ! -d "$corpus/large2" ]; then
    mkdir -p "$corpus/large2"; cat "$corpus/large/large.txt" "$corpus/large/large.txt" >"$corpus/large2/large.txt"
  fi
  compare_replace "replace lorem (400 MB file)" "$corpus/large2" lorem ipsum
  linear=$(ratio "$last_time" "$t200")
  echo "  goal: 400 MB within 2.10 x the 200 MB time: $linear ($(verdict "$linear" 2.1))"
  # How the disk itself scales: the same bytes written and flushed by dd, so a
  # ratio above 2 can be told apart from the tool's own.
  d200=() d400=()
  for ((i = 0; i < 3; i++)); do
    for mb in 200 400; do
      rm -f "$scratch/dd.bin"; sync
      out=/dev/null; t=$(time_cmd dd if="$corpus/large2/large.txt" of="$scratch/dd.bin" bs=4M count=$((mb / 4)) conv=fsync status=none)
      if [ "$mb" = 200 ]; then d200+=("$t"); else d400+=("$t"); fi
    done
  done
  rm -f "$scratch/dd.bin"
  echo "  the disk alone (dd conv=fsync): 200 MB $(median "${d200[@]}")s, 400 MB $(median "${d400[@]}")s: $(ratio "$(median "${d400[@]}")" "$(median "${d200[@]}")") x"
  size=$(stat -c %s "$corpus/large/large.txt")
  rss=$(peak_rss "$corpus/large")
  peak=$(ratio "$((rss * 1024))" "$size")
  echo "  goal: peak memory on the 200 MB file at most 1.50 x its size: $((rss / 1024)) MiB = $peak ($(verdict "$peak" 1.5))"
  if [ -n "${LARGE_2GB:-}" ]; then
    # Ten copies of the 200 MB file in the scratch folder, removed afterwards.
    rm -rf "$scratch/a"; mkdir -p "$scratch/a"
    for _ in 1 2 3 4 5 6 7 8 9 10; do cat "$corpus/large/large.txt"; done >"$scratch/a/large.txt"
    size=$(stat -c %s "$scratch/a/large.txt")
    sync
    t0=$(now)
    rss=$(/usr/bin/time -f '%M' "$bench" replace --find lorem --replace ipsum --case --all "$scratch/a" 2>&1 >/dev/null | tail -n1)
    t1=$(now)
    rm -rf "$scratch/a"
    peak=$(ratio "$((rss * 1024))" "$size")
    echo "  goal: peak memory on the 2 GB file at most 1.50 x its size: $((rss / 1024)) MiB = $peak ($(verdict "$peak" 1.5)), $(elapsed "$t0" "$t1")s"
  fi
fi
if [ "$what" = folders ] || [ "$what" = all ]; then
  # 40,000 files in the top folder, nothing selected there, against the same
  # files one level down, where they are all searched.
  if [ ! -d "$corpus/flat" ]; then
    python3 - "$corpus" <<'PY'
import os, sys
root = sys.argv[1]
for folder in ("flat", "nested/sub"):
    os.makedirs(os.path.join(root, folder))
    for i in range(40000):
        with open(os.path.join(root, folder, "f%05d.txt" % i), "w") as f:
            f.write("a small file %d with a needle\n" % i if i % 10 == 0 else "a small file %d\n" % i)
PY
  fi
  out=$scratch/s.out; tflat=$(median_time "$bench" find --find needle "$corpus/flat")
  out=$scratch/s.out; tnest=$(median_time "$bench" find --find needle "$corpus/nested")
  flat=$(ratio "$tflat" "$tnest")
  echo "find in 40,000 top-folder files ${tflat}s, one level down ${tnest}s: ratio $flat (target 1.50, $(verdict "$flat" 1.5))"
fi
if [ "$what" = ignore ] || [ "$what" = all ]; then
  # The walk's cost with git's ignore rules: the medium tree becomes a working
  # tree with a .gitignore of typical rules in every folder, none of which takes
  # a file of the corpus, so both runs search the same files.
  tree=$corpus/medium
  cleanup_ignore() { rm -rf "$tree/.git"; find "$tree" -name .gitignore -delete; }
  trap cleanup_ignore EXIT
  mkdir -p "$tree/.git/info"; echo 'ref: refs/heads/main' >"$tree/.git/HEAD"
  printf '*.swp\n' >"$tree/.git/info/exclude"
  find "$tree" -type d -not -path '*/.git*' -exec sh -c \
    'printf "# generated\n*.o\nbuild/\n/dist\n!keep.o\n**/cache/**\n*.min.[jc]s\ntmp*/\n" >"$1/.gitignore"' sh {} \;
  grep -rlF neverpresent "$tree" >/dev/null || true
  out=$scratch/off.out; toff=$(median_time "$bench" find --find neverpresent --all "$tree")
  out=$scratch/on.out; ton=$(median_time "$bench" find --find neverpresent --all --skip-ignored "$tree")
  out=$scratch/lon.out; tlon=$(median_time "$bench" find --find neverpresent --filters '*.none;!x' --all --skip-ignored "$tree")
  out=$scratch/loff.out; tloff=$(median_time "$bench" find --find neverpresent --filters '*.none;!x' --all "$tree")
  r=$(ratio "$ton" "$toff")
  echo "walk with ignore files (medium, $(find "$tree" -name .gitignore | wc -l) .gitignore): on ${ton}s, off ${toff}s: ratio $r (target 1.20, $(verdict "$r" 1.2))"
  echo "  folders only (no file taken by name): on ${tlon}s, off ${tloff}s: ratio $(ratio "$tlon" "$tloff")"
  cleanup_ignore; trap - EXIT
fi
if [ "$what" = preview ] || [ "$what" = all ]; then
  # Preview lists what Replace would change without writing: timed beside a
  # Find of the same text; its memory holds positions, never the files' texts.
  tree=$corpus/medium
  grep -rlF neverpresent "$tree" >/dev/null || true
  # --summary collects what the window's list holds: files and positions.
  tps=() tfs=()
  for ((i = 0; i < runs; i++)); do
    out=$scratch/p.out; tps+=("$(time_cmd "$bench" preview --summary --find lorem --replace ipsum --case --all "$tree")")
    out=$scratch/f.out; tfs+=("$(time_cmd "$bench" find --find lorem --case --all "$tree")")
  done
  tp=$(median "${tps[@]}"); tf=$(median "${tfs[@]}")
  out=$scratch/d.out; td=$(median_time "$bench" preview --find lorem --replace ipsum --case --all "$tree")
  r=$(ratio "$tp" "$tf")
  rss=$(/usr/bin/time -f '%M' "$bench" preview --summary --find lorem --replace ipsum --case --all "$tree" 2>&1 >/dev/null | tail -n1)
  printf 'preview lorem (medium) %ss, find %ss: ratio %s (target 1.50, %s)  peak %s MiB\n' \
    "$tp" "$tf" "$r" "$(verdict "$r" 1.5)" "$((rss / 1024))"
  printf '  as a unified diff of %s files: %ss\n' "$(grep -c '^+++ ' "$scratch/d.out")" "$td"
fi
if [ "$what" = window ] || [ "$what" = all ]; then
  # The same runs through the main window's toolbar, offscreen; each tool
  # reports its run's own time ("run: N ms") on standard error, the window also
  # the longest time between two passes of its event loop ("longest gap: N ms"),
  # which is how long a click or a key would have waited.
  : >"$scratch/gaps"
  run_once() {  # one run; prints its run time in ms and keeps its longest gap
    QT_QPA_PLATFORM=offscreen "$@" 2>"$scratch/w.err" >"$scratch/w.out" || true
    grep -E '^(files|replacements): ' "$scratch/w.err" >>"$scratch/w.out" || true
    grep '^longest gap: ' "$scratch/w.err" >>"$scratch/gaps" || true
    sed -n 's/^run: \([0-9]*\) ms.*/\1/p' "$scratch/w.err"
  }
  run_ms() {  # RUNS runs; prints the median of the run times in seconds
    local times=() i
    for ((i = 0; i < runs; i++)); do times+=("$(run_once "$@")"); done
    python3 -c "import sys, statistics; print(f'{statistics.median(map(float, sys.argv[1:])) / 1000:.3f}')" "${times[@]}"
  }
  longest_gap() {  # the longest gap of the runs since the last call, and its line
    sort -t' ' -k3,3n "$scratch/gaps" | tail -n1 | sed 's/^longest gap: \([0-9]*\) ms */\1 /'
    : >"$scratch/gaps"
  }
  print_gap() {  # label
    local line gap; line=$(longest_gap); gap=${line%% *}
    printf '  %s: longest gap between two passes of the event loop %s ms (target 100, %s)  %s\n' \
      "$1" "$gap" "$(verdict "${gap:-0}" 100)" "${line#* }"
  }
  grep -rlF neverpresent "$corpus/medium" >/dev/null || true
  # Taking turns, as compare_find's tools do.
  ths=() tws=()
  for ((i = 0; i < runs; i++)); do
    ths+=("$(run_once "$bench" find --find needle --all --timing "$corpus/medium")")
    tws+=("$(run_once "$window_bench" window-find --find needle --all "$corpus/medium")")
  done
  th=$(seconds "$(median "${ths[@]}")"); tw=$(seconds "$(median "${tws[@]}")")
  r=$(ratio "$tw" "$th")
  echo "window find needle (medium) ${tw}s, headless ${th}s: ratio $r (target 1.10, $(verdict "$r" 1.1))"
  print_gap "window find"
  if [ -d "$corpus/flat" ]; then
    tflat=$(run_ms "$window_bench" window-find --find needle "$corpus/flat")
    tnest=$(run_ms "$window_bench" window-find --find needle "$corpus/nested")
    flat=$(ratio "$tflat" "$tnest")
    echo "window find in 40,000 top-folder files ${tflat}s, one level down ${tnest}s: ratio $flat (target 1.50, $(verdict "$flat" 1.5))"
    : >"$scratch/gaps"
  fi
  # Replace through the toolbar and headless, each on its own fresh copy,
  # taking turns going first as compare_replace's tools do.
  tws=() ths=()
  run_w() { tws+=("$(run_once "$window_bench" window-replace --find lorem --replace ipsum --all "$scratch/a")"); wfiles=$(sed -n 's/^files: //p' "$scratch/w.out"); }
  run_h() { ths+=("$(run_once "$bench" replace --find lorem --replace ipsum --all --timing "$scratch/b")"); hfiles=$(sed -n 's/^files: //p' "$scratch/w.out"); }
  for ((i = 0; i < replace_runs; i++)); do
    fresh_copies "$corpus/medium"
    if ((i % 2 == 0)); then run_w; sleep "${SETTLE:-35}"; run_h; else run_h; sleep "${SETTLE:-35}"; run_w; fi
  done
  tw=$(median "${tws[@]}"); th=$(median "${ths[@]}")
  r=$(ratio "$tw" "$th")
  echo "window replace lorem (medium) $(seconds "$tw")s, headless $(seconds "$th")s: ratio $r (target 1.10, $(verdict "$r" 1.1))  files $wfiles/$hfiles"
  ((replace_runs > 1)) && echo "  each run (ms): window ${tws[*]}  headless ${ths[*]}"
  print_gap "window replace"
  # With backups: the window's Replace, and its Replace ticked after a Preview
  # (everything ticked), each beside the headless replace with backups, every
  # run on its own fresh copy with its own backup folder, taking turns.
  compare_window_backup() {  # label, window mode
    local label=$1 mode=$2 tws=() ths=() i wfiles= hfiles= wreps= hreps=
    run_wb() {
      tws+=("$(run_once "$window_bench" "$mode" --find lorem --replace ipsum --all --backup "$scratch/wbackup" "$scratch/a")")
      wfiles=$(sed -n 's/^files: //p' "$scratch/w.out"); wreps=$(sed -n 's/^replacements: //p' "$scratch/w.out")
      sed -n 's/^preview: //p' "$scratch/w.err" >>"$scratch/previews"
    }
    run_hb() {
      ths+=("$(run_once "$bench" replace --find lorem --replace ipsum --all --backup "$scratch/hbackup" --timing "$scratch/b")")
      hfiles=$(sed -n 's/^files: //p' "$scratch/w.out"); hreps=$(sed -n 's/^replacements: //p' "$scratch/w.out")
    }
    : >"$scratch/previews"
    for ((i = 0; i < replace_runs; i++)); do
      rm -rf "$scratch/wbackup" "$scratch/hbackup"; mkdir -p "$scratch/wbackup" "$scratch/hbackup"
      fresh_copies "$corpus/medium"
      if ((i % 2 == 0)); then run_wb; sleep "${SETTLE:-35}"; run_hb; else run_hb; sleep "${SETTLE:-35}"; run_wb; fi
    done
    rm -rf "$scratch/wbackup" "$scratch/hbackup"
    local tw th r; tw=$(median "${tws[@]}"); th=$(median "${ths[@]}"); r=$(ratio "$tw" "$th")
    echo "$label $(seconds "$tw")s, headless with backups $(seconds "$th")s: ratio $r (target 1.10, $(verdict "$r" 1.1))  files $wfiles/$hfiles  replacements $wreps/$hreps"
    ((replace_runs > 1)) && echo "  each run (ms): window ${tws[*]}  headless ${ths[*]}"
    [ -s "$scratch/previews" ] && echo "  the preview before it: $(tr '\n' ' ' <"$scratch/previews")"
    print_gap "$label"
  }
  compare_window_backup "window replace with backups (medium)" window-replace
  compare_window_backup "window replace ticked after preview (medium)" window-replace-ticked
  # Resident memory after a window Replace of 1,000 files against 20,000.
  rm -rf "$scratch/a" "$scratch/b"; mkdir -p "$scratch/b"
  cp -a "$corpus/medium" "$scratch/a"
  (cd "$corpus/medium" && find . -type f | sort >"$scratch/all.list" &&
    sed -n 1,1000p "$scratch/all.list" | tar -cf - -T - | tar -C "$scratch/b" -xf -)
  rss() { QT_QPA_PLATFORM=offscreen "$window_bench" window-replace --find lorem --replace ipsum --all "$1" 2>&1 >/dev/null |
            sed -n 's/.*resident: \([0-9]*\) KiB.*/\1/p'; }
  small=$(rss "$scratch/b"); big=$(rss "$scratch/a")
  grow=$(( (big - small) / 1024 ))
  echo "window replace: resident $((small / 1024)) MiB after 1,000 files, $((big / 1024)) MiB after 20,000: +${grow} MiB (target 20, $(verdict "$grow" 20))"
fi
if [ "$what" = growth ]; then
  # Find over ten times the medium tree: ten copies of it side by side
  # (cp -a into x10/c0 ... c9: 200,000 files, about 2.4 GB of disk), built once.
  x10=$corpus/x10
  if [ ! -d "$x10" ]; then
    rm -rf "$x10.tmp"; mkdir -p "$x10.tmp"
    for i in 0 1 2 3 4 5 6 7 8 9; do cp -a "$corpus/medium" "$x10.tmp/c$i"; done
    mv "$x10.tmp" "$x10"
  fi
  peak_kib() { /usr/bin/time -f '%M' -o "$scratch/rss" "$@" >/dev/null 2>&1 || true; tail -n1 "$scratch/rss"; }
  grep -rlF neverpresent "$corpus/medium" "$x10" >/dev/null || true
  out=$scratch/s.out; tm=$(median_time "$bench" find --find needle --all "$corpus/medium")
  fm=$(grep '^files: ' "$scratch/s.out" | cut -d' ' -f2)
  out=$scratch/s.out; tx=$(median_time "$bench" find --find needle --all "$x10")
  fx=$(grep '^files: ' "$scratch/s.out" | cut -d' ' -f2)
  rm_kib=$(peak_kib "$bench" find --find needle --all "$corpus/medium")
  rx_kib=$(peak_kib "$bench" find --find needle --all "$x10")
  r=$(ratio "$tx" "$tm"); grow=$(( (rx_kib - rm_kib) / 1024 ))
  echo "find needle: medium ${tm}s (peak $((rm_kib / 1024)) MiB, $fm files found), ten times the files ${tx}s (peak $((rx_kib / 1024)) MiB, $fx files found)"
  echo "  goal: within 11.00 x the medium time: $r ($(verdict "$r" 11))"
  echo "  goal: peak memory within 50 MiB of the medium run's: +${grow} MiB ($(verdict "$grow" 50))"
fi
rm -rf "$scratch/a" "$scratch/b"
