// Draws a contact sheet of the text styles: one row per style, in each row the style at three
// sizes with its preview colours, once more with other colours at half transparency, then turned
// and zoomed on the canvas, and the text panel's sample. Usage: mosaiq-textsheet OUT.png [FACE]
#include "core/text/FixedText.h"
#include "text/TextDraw.h"
#include "text/TextGeometry.h"
#include "text/TextTemplateRules.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

using namespace mosaiq;

namespace {

using ColourPair = StyleColours;

TextRecord MakeText(int style, int height, const QString& face, const QString& text, ColourPair c,
                    float transparency) {
    TextRecord r;
    r.font.lfHeight = height;
    WriteFixedText(r.font.lfFaceName, face);
    WriteFixedText(r.text, text);
    r.style = style;
    r.firstColour = c.first;
    r.secondColour = c.second;
    r.transparency = transparency;
    const QSize size = MeasureText(r);
    r.textWidth = size.width();
    r.textHeight = size.height();
    return r;
}

// Draws a record on the canvas at (x, y) surface pixels with zoom; returns the drawn width.
int DrawAt(QPainter& painter, TextRecord r, int x, int y, float zoom = 1.0f, float angle = 0) {
    r.x = int(x / zoom);
    r.y = int(y / zoom);
    r.angle = angle;
    painter.setWorldTransform(TextObjectTransform(r, zoom));
    DrawTextObject(painter, r);
    painter.resetTransform();
    const Rect32 box = TextScreenBox(r, zoom);
    painter.setPen(QColor(0, 0, 0, 40));
    painter.drawRect(box.left, box.top, box.right - box.left - 1, box.bottom - box.top - 1);
    return box.right - box.left;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: mosaiq-textsheet OUT.png [FACE]\n");
        return 2;
    }
    const QString face = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("Arial");
    const int styles[] = {0, 1, 2, 3, 4, 5, 6, 7, 9};
    const int rowHeight = 150;
    QImage sheet(2300, rowHeight * int(std::size(styles)) + 10,
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(250, 250, 250));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::Antialiasing);
    // A darker band behind the right half, so light colours and glows show too.
    painter.fillRect(QRect(1450, 0, 850, sheet.height()), QColor(60, 70, 90));

    int y = 10;
    for (int style : styles) {
        const ColourPair colours = StylePreviewColours(style);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(8, y + 20), QStringLiteral("style %1").arg(style));
        int x = 70;
        for (int height : {24, 48, 96}) {
            const TextRecord r =
                MakeText(style, height, face, QStringLiteral("Glow Ag"), colours, 0);
            x += DrawAt(painter, r, x, y) + 16;
        }
        const ColourPair other{MakeColorref(230, 120, 20), MakeColorref(20, 60, 160)};
        const TextRecord half = MakeText(style, 48, face, QStringLiteral("Half"), other, 0.5f);
        x += DrawAt(painter, half, x, y) + 16;
        const TextRecord turned = MakeText(style, 48, face, QStringLiteral("Turn"), colours, 0);
        DrawAt(painter, turned, x + 10, y + 20, 1.0f, -12.0f);
        x = 1470;
        const TextRecord zoomed = MakeText(style, 48, face, QStringLiteral("Zoom"), colours, 0);
        x += DrawAt(painter, zoomed, x, y, 1.5f) + 20;
        // The text panel's sample: bold sans at 42 in a 160 x 42 row.
        TextRecord sample = MakeText(style, 42, QStringLiteral("Microsoft Sans Serif"),
                                     QStringLiteral("Text"), colours, 0);
        sample.font.lfWeight = 700;
        const QRect row(x, y + 3, 160, 42);
        painter.fillRect(row, QColor(240, 240, 240));
        DrawTextPreview(painter, sample, row);
        y += rowHeight;
    }
    painter.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
