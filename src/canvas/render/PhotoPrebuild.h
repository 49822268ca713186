#pragma once

// Photo pictures built ahead of a drawing pass, on several threads: the compositor would build
// them one after another on the UI thread. The view collects the photos whose picture is
// missing or was made for another displayed size, builds them on worker threads and puts the
// results into the objects' caches, so the pass that follows only draws.

#include "canvas/document/ObjectCache.h"
#include "canvas/document/Records.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <QByteArray>

#include <atomic>
#include <list>
#include <memory>
#include <vector>

namespace mosaiq {

class CollageDocument;

struct PhotoBuild {
    std::weak_ptr<ObjectCache> cache; // where the picture goes, if the object still holds it
    PhotoRecord record;               // a copy: workers never touch the document
    QSize displayed;                  // the size the picture is made for
    QImage picture;                   // the result (null: the file could not be read)
    bool maskMissing = false;
    bool upright = true; // turned by its orientation tag (CanvasObject::upright)
};

// The pictures built last, by everything they were made from (file, its size and time, crop,
// mask, displayed size, whether it was turned upright), up to a budget of pixels: undoing a photo effect or zooming back finds
// the picture it needs again instead of decoding the file.
class RecentPhotoPictures {
public:
    explicit RecentPhotoPictures(qint64 pixelBudget = 24'000'000) : m_budget(pixelBudget) {}
    // The picture made from record at displayed, or null.
    QImage Find(const PhotoRecord& record, QSize displayed, bool upright);
    void Keep(const PhotoRecord& record, QSize displayed, bool upright, const QImage& picture);
    int Count() const { return int(m_entries.size()); }

private:
    static QByteArray KeyOf(const PhotoRecord& record, QSize displayed, bool upright);
    struct Entry {
        QByteArray key;
        QImage picture;
    };
    std::list<Entry> m_entries; // most recent first
    qint64 m_pixels = 0;
    qint64 m_budget;
};

// The photos of the document (at its view's zoom) whose file exists and whose cached picture is
// missing or made for another displayed size, bottom to top. Gives every such photo a cache. A
// picture found in recent goes into its cache at once and is not listed.
// Only photos whose box meets visible (surface pixels) are listed; an empty rectangle lists all.
std::vector<PhotoBuild> StalePhotoBuilds(CollageDocument& document,
                                         RecentPhotoPictures* recent = nullptr,
                                         const QRect& visible = QRect());

// Builds every picture, spread over up to `threads` threads (the calling one included). Safe
// to run off the UI thread: it reads only the copies and the files.
// A set cancel stops the work between pictures.
void RunPhotoBuilds(std::vector<PhotoBuild>& builds, int threads,
                    const std::atomic<bool>* cancel = nullptr);

// Puts each built picture into its cache when the cache is still alive and still wants that
// size; the frame and the prepared looks are then remade by the next pass. Returns how many
// pictures were placed.
int ApplyPhotoBuilds(std::vector<PhotoBuild>& builds, RecentPhotoPictures* recent = nullptr);

} // namespace mosaiq
