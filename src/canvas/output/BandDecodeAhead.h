#pragma once

// Decoding ahead of the bands: while the calling thread composes one band, worker threads build
// the pictures of the photos the next bands reach (decoded from their files at the reduced size
// the band's zoom needs, cropped, scaled and masked, exactly as the compositor would build them),
// in the order the bands reach them. A picture built ahead waits for its band; the pictures
// waiting or being built stay within a memory budget, so the render holds a few pictures more
// than one band needs, never the whole collage's.

#include "canvas/document/Records.h"

#include <QImage>
#include <QRectF>
#include <QSize>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace mosaiq {

class CollageDocument;

// Worker threads the banded render decodes on: -1 (the default) one less than the machine's
// cores, 0 none (the calling thread builds every picture as the compositor reaches it).
void SetBandDecodeWorkers(int workers);
int BandDecodeWorkers();

class BandDecodeAhead {
public:
    // The photos of document at its view's zoom whose pictures are missing, whose file can be
    // read and whose area (reach: output rows and columns, as the band renderer judges them)
    // meets the output of size, ordered by their top row. Starts the workers.
    BandDecodeAhead(CollageDocument& document, const std::vector<QRectF>& reach, QSize size,
                    int workers, std::int64_t budgetBytes);
    // Stops the workers (a picture being built is finished and dropped).
    ~BandDecodeAhead();
    BandDecodeAhead(const BandDecodeAhead&) = delete;
    BandDecodeAhead& operator=(const BandDecodeAhead&) = delete;

    // Puts into their caches the pictures of every photo whose reach starts above row bottom,
    // building on the calling thread those no worker has started and waiting for the others.
    void ReadyUpTo(double bottom);

private:
    struct Job {
        int object = 0;      // index in the document
        double top = 0.0;    // first row it reaches
        PhotoRecord record;  // a copy: workers never touch the document
        QSize displayed;
        bool upright = false;
        std::int64_t bytes = 0; // what building it may hold at once
        enum class State { Waiting, Building, Built, Placed } state = State::Waiting;
        QImage picture;
        bool fileMissing = false;
        bool maskMissing = false;
    };

    void Work();
    static void Build(Job& job);
    void Place(Job& job);

    CollageDocument& m_document;
    std::vector<Job> m_jobs;
    std::int64_t m_budget;
    std::int64_t m_held = 0; // bytes of the jobs being built or built and not yet placed
    std::size_t m_next = 0;  // the first job no one has started
    bool m_stop = false;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<std::thread> m_workers;
};

} // namespace mosaiq
