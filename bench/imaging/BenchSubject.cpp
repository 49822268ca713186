// Subjects: finding the subject of a 12 MP JPEG (reduced decode, face detectors, saliency) and
// answering 100 photos' subjects from the cache, as a fill arrangement of 100 photos does.
// For the one-core figure run the benchmark under `taskset -c 0`.
#include "BenchPhotos.h"
#include "imaging/subject/SubjectCache.h"
#include "imaging/subject/SubjectFinder.h"

#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QTemporaryDir& SubjectDir() {
    static QTemporaryDir dir;
    return dir;
}

// A 4000 x 3000 JPEG: the corpus's first photo when MOSAIQ_BENCH_CORPUS is set, else a
// photo-like picture made here.
QString TwelveMegapixelJpeg() {
    static const QString path = []() -> QString {
        const QStringList corpus = mosaiq::bench::CorpusJpegs(1);
        if (!corpus.isEmpty())
            return corpus.front();
        QRandomGenerator random(37);
        const QString p = SubjectDir().filePath(QStringLiteral("photo12mp.jpg"));
        mosaiq::bench::BlockedGradient(4000, 3000, 3, random).save(p, "JPEG", 90);
        return p;
    }();
    return path;
}

void BM_SubjectOf12MpJpeg(benchmark::State& state) {
    const QString path = TwelveMegapixelJpeg();
    // The detectors load once per thread and OpenCV makes its colour tables once per process:
    // what is measured is every photo after the first.
    mosaiq::FindSubjectOfFile(path);
    for (auto _ : state) {
        const auto subject = mosaiq::FindSubjectOfFile(path);
        benchmark::DoNotOptimize(subject.has_value());
    }
}
BENCHMARK(BM_SubjectOf12MpJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReducedDecodeFor12MpJpeg(benchmark::State& state) {
    const QString path = TwelveMegapixelJpeg();
    for (auto _ : state)
        benchmark::DoNotOptimize(mosaiq::LoadSubjectPicture(path).image.width());
}
BENCHMARK(BM_ReducedDecodeFor12MpJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100 photos whose subjects are cached: the lookups a fill arrangement of them makes.
void BM_CachedSubjectsOf100Photos(benchmark::State& state) {
    static QTemporaryDir data;
    qputenv("MOSAIQ_DATA_DIR", data.path().toUtf8());
    QStringList paths;
    QRandomGenerator random(100);
    for (int i = 0; i < 100; ++i) {
        const QString p = data.filePath(QStringLiteral("p%1.jpg").arg(i));
        if (!QFile::exists(p))
            mosaiq::bench::BlockedGradient(640, 480, i, random).save(p, "JPEG", 85);
        paths << p;
        mosaiq::LookUpSubject(p, true, mosaiq::SubjectLookup::Find);
    }
    mosaiq::FlushSubjectCache();
    for (auto _ : state) {
        int found = 0;
        for (const QString& p : paths)
            found += mosaiq::LookUpSubject(p, true, mosaiq::SubjectLookup::CacheOnly) ? 1 : 0;
        if (found != 100)
            state.SkipWithError("a subject was not cached");
    }
}
BENCHMARK(BM_CachedSubjectsOf100Photos)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
