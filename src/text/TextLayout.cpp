#include "text/TextLayout.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>

#include <algorithm>

namespace mosaiq {

namespace {

QString WithoutTrailingSpaces(const QString& line) {
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1).isSpace())
        --end;
    return line.left(end);
}

} // namespace

TextLayout LayoutText(const QString& text, const QFontMetricsF& metrics, double emPixels) {
    TextLayout layout;
    if (text.isEmpty())
        return layout;
    static const QRegularExpression kLineBreak(QStringLiteral("\r\n|\n|\r"));
    layout.lines = text.split(kLineBreak);
    layout.margin = emPixels / 6.0;
    layout.ascent = metrics.ascent();
    layout.lineSpacing = metrics.lineSpacing();
    double widest = 0;
    for (const QString& line : layout.lines)
        widest = std::max(widest, metrics.horizontalAdvance(WithoutTrailingSpaces(line)));
    layout.size = QSizeF(widest + 2 * layout.margin, layout.lineSpacing * layout.lines.size());
    return layout;
}

void DrawTextLayout(QPainter& painter, const TextLayout& layout, QPointF origin) {
    for (qsizetype i = 0; i < layout.lines.size(); ++i) {
        const QPointF baseline(origin.x() + layout.margin,
                               origin.y() + layout.ascent + layout.lineSpacing * double(i));
        painter.drawText(baseline, layout.lines.at(i));
    }
}

void AddTextLayout(QPainterPath& path, const TextLayout& layout, const QFont& font,
                   QPointF origin) {
    for (qsizetype i = 0; i < layout.lines.size(); ++i) {
        const QPointF baseline(origin.x() + layout.margin,
                               origin.y() + layout.ascent + layout.lineSpacing * double(i));
        path.addText(baseline, font, layout.lines.at(i));
    }
}

} // namespace mosaiq
