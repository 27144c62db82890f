#!/bin/sh
# Whole extraction with the real kobrex, against its two halves measured
# apart (decoding the members from memory, writing the same files from
# memory: plainly, and each under a temporary name moved over its path as
# kobrex does), cp -r of the unpacked files, and lz4 -d writing the same bytes.
#
# Usage: bench/extraction.sh [WORK_DIR [MIB]]   (after cmake --build --preset
# bench; needs hyperfine, lz4, bc and GNU time from Debian). The member sets
# hold MIB MiB each (default 64): four members of MIB/4 MiB, and a thousand
# of MIB KiB (64 KiB at the default).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
bin=$here/build/bench
work=${1:-$bin/extraction}
mib=${2:-64}
rm -rf "$work"
mkdir -p "$work/corpora"
# kobrex moves to its own folder before it opens anything, so every path it
# is given here must be absolute.
work=$(cd "$work" && pwd)
"$bin/bench/kobrex-bench" --size "$mib" --write-corpora "$work/corpora"

# Member sets of coded data: text and binaries in turn.
mkdir -p "$work/four" "$work/thousand"
for k in 0 1 2 3; do
  source=$([ $((k % 2)) -eq 0 ] && echo text || echo binaries)
  dd if="$work/corpora/$source" of="$work/four/member$k.bin" bs=1K skip=$((k / 2 * mib * 256)) \
    count=$((mib * 256)) status=none
done
k=0
while [ $k -lt 1000 ]; do
  source=$([ $((k % 2)) -eq 0 ] && echo text || echo binaries)
  dd if="$work/corpora/$source" of="$work/thousand/m$(printf %04d $k).bin" bs=1K skip=$((k / 2 * mib)) \
    count="$mib" status=none
  k=$((k + 1))
done

row() { printf '%-10s %-8s %-22s %10s\n' "$@"; }
row set layout measure seconds
for set in four thousand; do
  for layout in arcv counted; do
    archive=$work/$set.$layout
    "$bin/kobrex-pack" "$layout" "$archive" "$work/$set"
    decode=$("$bin/bench/kobrex-bench" --decode-only "$archive")
    mkdir -p "$work/written"
    write=$("$bin/bench/kobrex-bench" --write-only "$work/$set" "$work/written")
    rm -rf "$work/written"
    mkdir -p "$work/written"
    moved=$("$bin/bench/kobrex-bench" --write-moved "$work/$set" "$work/written")
    rm -rf "$work/written"
    hyperfine --style none --warmup 1 --runs 10 --prepare "rm -rf $work/out" \
      --export-json "$work/$set.$layout.json" "$bin/kobrex $archive $work/out" > /dev/null
    kobrex=$(sed -n 's/.*"min": *\([0-9.]*\).*/\1/p' "$work/$set.$layout.json" | head -n 1)
    rss=$( { /usr/bin/time -f %M "$bin/kobrex" "$archive" "$work/out" > /dev/null; } 2>&1 )
    row "$set" "$layout" decode-only "$decode"
    row "$set" "$layout" write-only "$write"
    row "$set" "$layout" write-and-move "$moved"
    row "$set" "$layout" "kobrex (min of 10)" "$kobrex"
    row "$set" "$layout" "kobrex/(decode+write)" "$(echo "$kobrex / ($decode + $write)" | bc -l | cut -c1-5)"
    row "$set" "$layout" "kobrex/(decode+move)" "$(echo "$kobrex / ($decode + $moved)" | bc -l | cut -c1-5)"
    row "$set" "$layout" "peak RSS KiB" "$rss"
    rm -rf "$work/out"
  done
  # The same output bytes by lz4 -d into one file, and by cp -r.
  cat "$work/$set"/* > "$work/$set.raw"
  lz4 -q -9 -f "$work/$set.raw" "$work/$set.lz4"
  hyperfine --style none --warmup 1 --runs 10 --prepare "rm -f $work/unlz4" \
    --export-json "$work/$set.lz4.json" "lz4 -q -d -f $work/$set.lz4 $work/unlz4" > /dev/null
  row "$set" - "lz4 -d (min of 10)" "$(sed -n 's/.*"min": *\([0-9.]*\).*/\1/p' "$work/$set.lz4.json" | head -n 1)"
  hyperfine --style none --warmup 1 --runs 10 --prepare "rm -rf $work/copy" \
    --export-json "$work/$set.cp.json" "cp -r $work/$set $work/copy" > /dev/null
  row "$set" - "cp -r (min of 10)" "$(sed -n 's/.*"min": *\([0-9.]*\).*/\1/p' "$work/$set.cp.json" | head -n 1)"
done
