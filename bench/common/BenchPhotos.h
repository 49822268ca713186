#pragma once

// Photos for the benchmarks: the real-sized corpus that make_corpus.sh makes, named by the
// environment variable MOSAIQ_BENCH_CORPUS, and the photo-like pictures a benchmark makes itself
// when no corpus is named.

#include <QImage>
#include <QRandomGenerator>
#include <QStringList>

namespace mosaiq::bench {

// The first count JPEG photos of the corpus's "jpg" folder (all of them when count < 0), in name
// order (photo_000.jpg on); none when no corpus is named or it holds none.
QStringList CorpusJpegs(int count = -1);

// A camera-like picture: colour ramps with per-pixel noise from seed, so it compresses like a
// photo's pixels.
QImage NoisyGradient(int width, int height, quint32 seed);

// A photo-like picture: a diagonal gradient whose hues follow index, with 400 blocks of 40 pixels
// in random colours drawn from random.
QImage BlockedGradient(int width, int height, int index, QRandomGenerator& random);

} // namespace mosaiq::bench
