#!/usr/bin/env bash
# compare_png.sh CORPUS [MOSAIQ_CLI]
# PNG conversion side by side: two 12-megapixel photos of a make_corpus.sh corpus converted at once
# (one per core), then one photo alone, by vips, GraphicsMagick and mosaiq-cli. Prints the best
# wall time of three runs (with the CPU time it took: the machine may be shared) and the size of
# the first output of each tool.
set -euo pipefail
corpus=$1
cli=${2:-build/bin/mosaiq-cli}
a=$corpus/jpg/photo_000.jpg
b=$corpus/jpg/photo_001.jpg
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for t in vips gm "$cli"; do
  command -v "$t" >/dev/null || { echo "missing tool: $t" >&2; exit 1; }
done

best() {  # best LABEL FUNCTION: best wall time of three runs, and the CPU time of that run
  local label=$1 best=999 cpu=0 r t c
  for _ in 1 2 3; do
    /usr/bin/time -o "$out/time" -f '%e %U %S' bash -c "$2" >/dev/null 2>&1
    r=$(tail -1 "$out/time")
    t=$(echo "$r" | cut -d' ' -f1)
    c=$(echo "$r" | awk '{print $2 + $3}')
    if [ "$(echo "$t < $best" | bc)" = 1 ]; then best=$t; cpu=$c; fi
  done
  printf '%-34s %6.2f s wall %6.2f s CPU\n' "$label" "$best" "$cpu"
}
vips2() { vips copy "$a" "$out/v1.png" & vips copy "$b" "$out/v2.png" & wait; }
gm2() { gm convert "$a" "$out/g1.png" & gm convert "$b" "$out/g2.png" & wait; }
mq2() { "$cli" convert --format png --output "$out/m" "$a" "$b"; }
vips1() { vips copy "$a" "$out/v1.png"; }
gm1() { gm convert "$a" "$out/g1.png"; }
mq1() { "$cli" convert --format png --output "$out/m" "$a"; }

export a b out cli
export -f vips2 gm2 mq2 vips1 gm1 mq1
best "vips, two files at once" vips2
best "GraphicsMagick, two files at once" gm2
best "mosaiq-cli, two files at once" mq2
best "vips, one file" vips1
best "GraphicsMagick, one file" gm1
best "mosaiq-cli, one file" mq1
g=$(stat -c %s "$out/g1.png")
for f in v1 g1 m/photo_000; do
  s=$(stat -c %s "$out/$f.png")
  printf '%-34s %10d bytes (%+.1f %% of GraphicsMagick)\n' "$f.png" "$s" \
    "$(echo "($s - $g) * 100 / $g" | bc -l)"
done
