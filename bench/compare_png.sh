#!/usr/bin/env bash
# compare_png.sh CORPUS [MOSAIQ_CLI]
# PNG conversion side by side: two 12-megapixel photos of a make_corpus.sh corpus converted at once
# (one per core), then one photo alone, by vips, GraphicsMagick and mosaiq-cli. Prints the best
# wall time of three runs and the size of the first output of each tool.
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

best() {  # best LABEL COMMAND...: best wall time of three runs, in seconds
  local label=$1 best=999 s e t
  shift
  for _ in 1 2 3; do
    s=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc)
    best=$(echo "if ($t < $best) $t else $best" | bc)
  done
  printf '%-34s %6.3f s\n' "$label" "$best"
}
vips2() { vips copy "$a" "$out/v1.png" & vips copy "$b" "$out/v2.png" & wait; }
gm2() { gm convert "$a" "$out/g1.png" & gm convert "$b" "$out/g2.png" & wait; }
mq2() { "$cli" convert --format png --output "$out/m" "$a" "$b"; }
vips1() { vips copy "$a" "$out/v1.png"; }
gm1() { gm convert "$a" "$out/g1.png"; }
mq1() { "$cli" convert --format png --output "$out/m" "$a"; }

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
