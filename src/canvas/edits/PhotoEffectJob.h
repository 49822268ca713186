#pragma once

// A photo effect run on a photo's own picture file: the picture is decoded by the two-decoder
// rule, the effect's call runs on it, and the result is written as a PNG named by a hash of its
// bytes into a folder (the data directory's "Effects/" in the editor). The original file is never
// touched. Run() may be called on a worker thread; Cancel() from any thread stops it early.

#include "imaging/magick/ImageLibrary.h"
#include "imaging/magick/PhotoEffect.h"

#include <QString>

#include <atomic>

namespace mosaiq {

class CollageDocument;

struct EffectFileResult {
    bool ok = false;
    bool cancelled = false;
    QString path;  // the written picture when ok
    QString error; // one line for the user otherwise
};

class PhotoEffectJob {
public:
    // upright: the photo's CanvasObject::upright (the effect works on the pixels as shown; its
    // PNG carries no orientation tag).
    PhotoEffectJob(QString source, PhotoEffect effect, QString folder, bool upright = true);

    EffectFileResult Run();
    void Cancel();

private:
    QString m_source;
    PhotoEffect m_effect;
    QString m_folder;
    bool m_upright = true;
    LibraryImage m_picture;
    std::atomic<bool> m_cancelled{false};
};

// The folder effect results go to: "Effects/" in the data directory.
QString EffectsFolder();

// Points the photo at index to the picture at path (its size must be the photo's own): the
// photo's cached pictures are dropped, one snapshot is recorded and the document is marked
// modified. False, changing nothing, when index is not a photo or the path does not fit.
bool SetPhotoPicture(CollageDocument& document, int index, const QString& path);

} // namespace mosaiq
