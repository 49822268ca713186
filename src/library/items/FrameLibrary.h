#pragma once

// The frame library "frame.cfg": int32 count, then frame entries of
// int32 w, int32 h, int32 L, 4 floats (the frame window), L bytes of an encoded picture that is
// transparent where the photo shows through. Its thumbnails live in "tbframe.cfg" (raw picture
// entries, see PictureList.h); entry i of both files is the same frame.
//
// Readers open the file afresh on every call and give no result for a missing, unreadable,
// truncated or damaged file and for an index that is negative or not below the count.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

class QIODevice;

namespace mosaiq {

// The inner window of a frame as fractions of the framed box's width and height.
struct FrameWindow {
    float left = 0;
    float top = 0;
    float right = 1;
    float bottom = 1;
    friend bool operator==(const FrameWindow&, const FrameWindow&) = default;
};

// One frame entry as stored, undecoded.
struct FrameEntry {
    int width = 0;
    int height = 0;
    FrameWindow window;
    QByteArray encoded;
};

// Readers over an open device. A window holding a value that is not a finite number counts as a
// damaged entry.
std::optional<FrameEntry> ReadFrameEntry(QIODevice& device, int index);
std::optional<FrameWindow> ReadFrameEntryWindow(QIODevice& device, int index);

// Entry n of the frame library at path (default: DataFile("frame.cfg")), decoded to
// Format_ARGB32 at the picture's own size (which wins over the size stored in the entry).
std::optional<QImage> ReadFrame(const QString& path, int index);
std::optional<QImage> ReadFrame(int index);
// The frame window of entry n, without decoding the picture.
std::optional<FrameWindow> ReadFrameWindow(const QString& path, int index);
std::optional<FrameWindow> ReadFrameWindow(int index);

// One frame entry in the file layout; the picture is stored as PNG at its own size.
QByteArray EncodeFrameEntry(const QImage& picture, FrameWindow window);
QByteArray EncodeFrameEntry(int width, int height, FrameWindow window, const QByteArray& encoded);
// A whole "frame.cfg" (count, then the entries in order).
QByteArray EncodeFrameLibrary(const std::vector<std::pair<QImage, FrameWindow>>& frames);

// Appends an entry to the frame library at path and rewrites its count, through a temporary file
// renamed over the old one (see AppendEncodedEntry).
bool AppendFrameEntry(const QString& path, int width, int height, FrameWindow window,
                      const QByteArray& encoded, QString* error = nullptr);

} // namespace mosaiq
