#include "imaging/CollageSettings.h"

#include <QCoreApplication>

namespace mosaiq {

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("CollageSettings", text);
}

// A rectangle from its left-top and right-bottom corners (right and bottom excluded).
QRect Box(int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

} // namespace

QString CollageDialogTitle(const CollageSettings& settings) {
    return settings.title.isEmpty() ? Tr("Create New Collage") : settings.title;
}

bool ParseCanvasSide(const QString& text, int* value, QString* message) {
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok, 10);
    if (!ok) {
        if (message)
            *message = Tr("Please enter an integer.");
        return false;
    }
    if (number < kMinCanvasSide || number > kMaxCanvasSide) {
        if (message)
            *message = Tr("Please enter an integer between %1 and %2.")
                           .arg(kMinCanvasSide)
                           .arg(kMaxCanvasSide);
        return false;
    }
    if (value)
        *value = int(number);
    return true;
}

QString BackgroundPictureFilter() {
    // The common types first, as the dialog always offered them; every other type the decoders
    // read (tiff, tga, pcx, ...) stays reachable through the last entry.
    // Phone photos (HEIC, AVIF, WebP) follow them.
    return QStringLiteral("(*.jpg *.jpeg *.gif *.bmp *.png *.heic *.heif *.hif *.avif *.webp);;"
                          "(*.jpg);;(*.jpeg);;(*.gif);;(*.bmp);;(*.png);;(*.heic *.heif *.hif);;"
                          "(*.avif);;(*.webp);;") +
           Tr("All files (*)");
}

NewCollageLayout LayOutNewCollage(QSize client) {
    const int w = client.width();
    const int h = client.height();
    NewCollageLayout l;
    // The two edits of the template: 20 x 12 dialog units at (40, 21) and (40, 42), widened up
    // to the "pixels" label so that four digits show in the default GUI font.
    l.widthEdit = Box(60, 34, 94, 54);
    l.heightEdit = Box(60, 68, 94, 88);
    l.colourButton = Box(w - 165, 35, w - 20, 53);
    l.pathEdit = Box(w - 165, 69, w - 40, 87);
    l.browseButton = Box(w - 40, 68, w - 20, 88);
    for (int i = 0; i < 3; ++i)
        l.placement[i] = QRect(w - 260 + 80 * i, 102, 80, 20);
    l.cancel = Box(w - 140, h - 30, w - 75, h - 9);
    l.ok = l.cancel.translated(-230, 0);
    // The 18 x 17 caption button, centred on the close box (w - 43, 8)-(w - 19, 22).
    l.close = QRect(w - 40, 7, 18, 17);
    l.widthLabel = Box(16, 38, 100, 58);
    l.widthUnit = Box(96, 38, 180, 58);
    l.heightLabel = Box(16, 72, 100, 92);
    l.heightUnit = Box(96, 72, 180, 92);
    const int labelRight = l.colourButton.left();
    const int labelTop = l.colourButton.top() + 3;
    // The labels end at the colour button; drawn right-aligned, a wider font grows them leftwards
    // instead of under the controls.
    l.colourLabel = QRect(labelRight - 130, labelTop, 126, 18);
    l.imageLabel = l.colourLabel.translated(0, 34);
    l.titleShadow = Box(19, 6, w + 1, 31);
    l.title = Box(18, 5, w, 30);
    return l;
}

} // namespace mosaiq
