#pragma once

// The picture list: the layout of "clipart.cfg", the decoration preset files, "brushs" and the
// thumbnail files "tbmask.cfg" and "tbframe.cfg". A little-endian int32 count, then per entry
// int32 width, int32 height and width*height*4 bytes B, G, R, A, rows top to bottom, no padding.
//
// Readers open the file afresh on every call, check every size against the file before
// allocating, and give no result for a missing, unreadable, truncated or damaged file and for an
// index that is negative or not below the count.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>
#include <vector>

class QIODevice;

namespace mosaiq {

// Readers over an open device (the file readers below and the fuzzers use these).
int ReadPictureListCount(QIODevice& device);
std::optional<QImage> ReadPictureListEntry(QIODevice& device, int index);
std::vector<QImage> ReadPictureList(QIODevice& device);

// The entry count, or -1 when the file is unreadable or its count cannot be right (negative, or
// more entries than the file can hold).
int ReadPictureListCount(const QString& path);
// Entry index as a Format_ARGB32 picture. An entry of zero width or height gives no result.
std::optional<QImage> ReadPictureListEntry(const QString& path, int index);
// Every entry in order, each as a Format_ARGB32 picture (a null QImage for an entry of zero width
// or height, so positions stay aligned with the file's indices). Reading stops at the first
// damaged entry: the entries before it are returned.
std::vector<QImage> ReadPictureList(const QString& path);

// Entry n of a thumbnail file ("tbmask.cfg", "tbframe.cfg"): the same as ReadPictureListEntry.
std::optional<QImage> ReadThumbnail(const QString& path, int index);

// One entry in the file layout; any input format, stored as B, G, R, A (straight alpha).
QByteArray EncodeRawPictureEntry(const QImage& picture);
// A whole picture list (count, then the entries in order).
QByteArray EncodePictureList(const std::vector<QImage>& pictures);
// Writes a whole picture list through a temporary file renamed over path.
bool WritePictureList(const QString& path, const std::vector<QImage>& pictures,
                      QString* error = nullptr);
// Appends one entry to the picture list at path and rewrites its count, through a temporary file
// renamed over the old one (see AppendEncodedEntry in LibraryFile.h).
bool AppendRawPictureEntry(const QString& path, const QImage& picture, QString* error = nullptr);

} // namespace mosaiq
