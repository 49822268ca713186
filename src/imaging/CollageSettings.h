#pragma once

// The size and background of a collage as the New Collage dialog edits them, the rule its width
// and height edits are checked by, and the dialog's layout as a function of its client size.

#include "core/WinTypes.h"

#include <QRect>
#include <QSize>
#include <QString>

namespace mosaiq {

// How the background picture is placed: 0 centred, 1 tiled, 2 stretched.
enum CollagePlacement : int { kPlaceCentre = 0, kPlaceTile = 1, kPlaceStretch = 2 };

constexpr int kMinCanvasSide = 10;
constexpr int kMaxCanvasSide = 3200;
// The background path's field in a project file, terminator included.
constexpr int kBackgroundPathBytes = 260;

struct CollageSettings {
    QString title; // empty: "Create New Collage"
    int width = 1024;
    int height = 768;
    Colorref backgroundColour = MakeColorref(255, 255, 255);
    QString backgroundPath; // empty: no background picture
    int placement = kPlaceCentre;
};

// The dialog's title for settings: the given one, or "Create New Collage".
QString CollageDialogTitle(const CollageSettings& settings);

// Reads a canvas side typed into an edit: decimal digits with an optional sign and surrounding
// blanks, from 10 to 3200. False with the message to show otherwise ("Please enter an integer."
// for anything that is not an integer, the range message for one out of range).
bool ParseCanvasSide(const QString& text, int* value, QString* message);

// The side a canvas takes for a typed one: rounded down to a multiple of 4.
constexpr int CanvasSideFor(int typed) {
    return typed < 4 ? 4 : typed / 4 * 4;
}

// The file filter of the dialog's Browse button, in Qt's syntax: every picture the two decoders
// read first, then each common type on its own.
QString BackgroundPictureFilter();

// Where the New Collage dialog's controls go in a client of size client (pixels).
struct NewCollageLayout {
    QRect widthEdit, heightEdit;
    QRect colourButton, pathEdit, browseButton;
    QRect placement[3]; // Center, Tile, Stretch
    QRect ok, cancel, close;
    QRect widthLabel, widthUnit, heightLabel, heightUnit, colourLabel, imageLabel;
    QRect titleShadow, title; // the title drawn first in white, then in black one pixel up-left
};
NewCollageLayout LayOutNewCollage(QSize client);

// The dialog's client size (its 285 x 101 dialog-unit template in the default GUI font).
constexpr QSize kNewCollageClientSize(428, 164);

} // namespace mosaiq
