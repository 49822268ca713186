#pragma once

// Bounds on the work one encoded picture may cost a decoder, checked on its bytes before any
// decoder sees them. A few hundred kilobytes can otherwise ask for minutes of work (a progressive
// JPEG of thousands of empty scans, each a full pass over the picture) or gigabytes of memory
// (a PNG whose header claims a huge size over a few bytes of garbage).

#include <QByteArray>
#include <QString>

namespace mosaiq {

// The most scans a JPEG may hold. Ordinary progressive pictures use about ten; libjpeg-turbo's
// own tools stop at 500 for the same reason.
constexpr int kMaxJpegScans = 500;

// True when data may be handed to a decoder; false with a one-line reason for a JPEG of more than
// kMaxJpegScans scans and for a PNG whose image data cannot fill the picture its header claims
// (refused before the picture is allocated; checked when the claim is many times the file's
// size, which is where a small file could cost a large allocation). Other formats are not
// checked here.
bool DecodeCostBounded(const QByteArray& data, QString* reason);

} // namespace mosaiq
