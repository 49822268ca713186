#pragma once

// Finding what a picture shows: faces (frontal and profile detectors, filtered against false
// hits) and, without faces, the most salient region (spectral residual weighted towards sharp,
// colourful detail that differs from the picture's ground). Works on a reduced, upright copy of
// the picture; the results are in the full picture's upright pixels. The detectors are loaded on
// first use, once per thread.

#include "imaging/subject/SubjectCrop.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace mosaiq {

// The reduction a subject is found on: 640 to 1280 pixels on the long side, decoded reduced
// where the decoder can (JPEG by its DCT scaling, HEIF by a stored thumbnail whose short side is
// at least 480 pixels), upright by the photo's orientation.
struct SubjectPicture {
    QImage image;       // Format_RGB32, transparency on white; null on failure
    QSize fullSize;     // the picture's own size, upright
    int orientation = 1; // the file's orientation tag (1 for HEIF, turned by its own boxes)
    QString error;
};
SubjectPicture LoadSubjectPicture(const QString& path);

// The subject of a reduced picture whose full upright size is fullSize (the rectangles are
// scaled to it). Nothing when the face detectors cannot be loaded (one line on standard error,
// once per process): the caller then keeps centred crops.
std::optional<PictureSubject> FindSubject(const QImage& reduced, QSize fullSize);

// The same for the picture at path (LoadSubjectPicture, then FindSubject). error, when given,
// receives why nothing was found.
std::optional<PictureSubject> FindSubjectOfFile(const QString& path, int* orientation = nullptr,
                                                QString* error = nullptr);

// The folder holding the detector files (the system's OpenCV data folder unless set); tests
// point it elsewhere. Setting it makes every thread load the detectors again.
void SetSubjectDetectorFolder(const QString& folder);
QString SubjectDetectorFolder();
// True when the detectors of the current folder load.
bool SubjectDetectorsAvailable();

} // namespace mosaiq
