#include "Gallery.h"

#include "ui/widgets/Skin.h"
#include "ui/widgets/SkinPainting.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>

namespace mosaiq::gallery {

namespace {

constexpr int kCellWidth = 96;
constexpr int kPictureHeight = 34;

// A bitmap shown whole: large strips and borders are scaled down to fit the cell.
QPixmap Fitted(const QPixmap& pixmap) {
    const QSizeF logical = pixmap.deviceIndependentSize();
    if (logical.width() <= kCellWidth && logical.height() <= kPictureHeight)
        return pixmap;
    QPixmap scaled =
        pixmap.scaled((QSizeF(kCellWidth, kPictureHeight) * pixmap.devicePixelRatio()).toSize(),
                      Qt::KeepAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(pixmap.devicePixelRatio());
    return scaled;
}

// Icons are shown at 16 and at 32 pixels, on the control ground and on white.
QPixmap IconSheet(int id, QSize size) {
    const QIcon icon = SkinIcon(id);
    const qreal ratio = SkinBitmap(129).devicePixelRatio();
    const int small = size.width();
    QPixmap sheet(QSize(small + 2 * small + 12, 2 * small + 4) * ratio);
    sheet.setDevicePixelRatio(ratio);
    sheet.fill(Qt::transparent);
    QPainter p(&sheet);
    p.fillRect(QRect(0, 0, small + 4, small + 4), QColor(221, 221, 221));
    icon.paint(&p, QRect(2, 2, small, small));
    // The same icon shown 32 pixels high: a 16-pixel icon drawn at twice its size.
    const qreal factor = 32.0 / FindSkinItem(SkinKind::Icon, id)->size.width();
    QPixmap big = SkinIconPixmap(id, factor * ratio);
    big.setDevicePixelRatio(ratio);
    p.drawPixmap(small + 8, 0, big);
    return sheet;
}

QPixmap CursorSheet(int id) {
    const QPixmap cursor = SkinCursorPixmap(id);
    QPixmap sheet(QSize(36, 36) * cursor.devicePixelRatio());
    sheet.setDevicePixelRatio(cursor.devicePixelRatio());
    sheet.fill(QColor(200, 204, 210));
    QPainter(&sheet).drawPixmap(2, 2, cursor);
    return sheet;
}

QString KindName(SkinKind kind) {
    switch (kind) {
    case SkinKind::Bitmap:
        return QStringLiteral("bitmap");
    case SkinKind::Icon:
        return QStringLiteral("icon");
    case SkinKind::Cursor:
        return QStringLiteral("cursor");
    }
    return {};
}

} // namespace

QWidget* MakeSkinPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    const int columns = 7;
    int index = 0;
    for (const SkinItem& item : SkinItems()) {
        QPixmap picture;
        if (item.kind == SkinKind::Bitmap)
            picture = Fitted(SkinBitmap(item.id));
        else if (item.kind == SkinKind::Icon)
            picture = IconSheet(item.id, item.size.width() > 16 ? QSize(16, 16) : item.size);
        else
            picture = CursorSheet(item.id);
        auto* image = new QLabel;
        image->setPixmap(picture);
        image->setFixedSize(kCellWidth, kPictureHeight);
        image->setAlignment(Qt::AlignCenter);
        auto* caption = new QLabel(KindName(item.kind) + QLatin1Char(' ') +
                                   QString::number(item.id) + QLatin1Char('\n') +
                                   QString(item.role).replace(QLatin1Char('-'), QLatin1Char(' ')));
        caption->setWordWrap(true);
        QFont small = DefaultGuiFont();
        small.setPixelSize(10);
        caption->setFont(small);
        caption->setFixedHeight(3 * QFontMetrics(small).lineSpacing() + 2);
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        caption->setFixedWidth(kCellWidth);
        const int row = (index / columns) * 2;
        const int column = index % columns;
        grid->addWidget(image, row, column);
        grid->addWidget(caption, row + 1, column);
        ++index;
    }
    return page;
}

} // namespace mosaiq::gallery
