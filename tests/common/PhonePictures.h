#pragma once

// Pictures as cameras and phones write them, made at test time by the system's own tools
// (Pillow, heif-enc, cwebp): the eight orientation tags, HEIC/AVIF/WebP, embedded profiles.

#include <QImage>
#include <QString>
#include <QStringList>

namespace mosaiq::test {

// Runs program with args to its end (two minutes at most); false with its output in log when it
// could not start or failed.
bool RunTool(const QString& program, const QStringList& args, QString* log = nullptr);

// True when the tool can be found on PATH (or at its absolute path).
bool HaveTool(const QString& program);

// The Python with Pillow (the system's, not a user's own environment).
QString PillowPython();

// Runs a Python/Pillow script (source text) with args; false with its output in log on failure.
bool RunPillow(const QString& script, const QStringList& args, QString* log = nullptr);

// Writes into dir "upright.png" (w x h in four coloured quadrants: red, green / blue, yellow)
// and, for orientation n of 1 to 8, "o<n>.jpg", "o<n>.png", "o<n>.webp" and "o<n>.tif": the
// upright picture stored turned so that applying tag n brings it upright again.
bool MakeOrientedPictures(const QString& dir, int w, int h, QString* log = nullptr);

// The colour of each quadrant's centre of the four-quadrant picture, for a picture of any size.
bool QuadrantsMatch(const QImage& image, const QImage& reference, int tolerance);

// Peak signal-to-noise ratio of two pictures of one size over R, G, B (dB; 100 when equal, 0
// when the sizes differ).
double Psnr(const QImage& a, const QImage& b);

} // namespace mosaiq::test
