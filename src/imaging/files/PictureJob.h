#pragma once

// Picture conversions and writes running in this process, so that a writer able to split its work
// over several threads (the PNG writer) takes only the cores the other jobs leave: two files
// converted at once get one core each, a file converted alone gets them all. A job begun on a
// thread that is already inside one is not counted again.
namespace mosaiq {

class ScopedPictureJob {
public:
    ScopedPictureJob();
    ~ScopedPictureJob();
    ScopedPictureJob(const ScopedPictureJob&) = delete;
    ScopedPictureJob& operator=(const ScopedPictureJob&) = delete;

    // Jobs running now, this one included.
    static int Running();
    // Threads a job may use: the cores less the other running jobs, at least one.
    static int SpareThreads();

private:
    bool m_counted = false;
};

} // namespace mosaiq
