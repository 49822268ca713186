#include "ui/widgets/Skin.h"

#include "skin/SkinResources.h"
#include "ui/widgets/SkinArt.h"

#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace mosaiq {

namespace {

struct IconArt {
    int id;
    const char* role;
    const char* file; // SVG under icons/, or nullptr for a disabled twin
    int enabledTwin;  // for a disabled twin: the id of the icon it greys
    int size;
};

// Toolbar and menu icons, each disabled icon a greyed copy of its enabled twin.
const IconArt kIcons[] = {
    {128, "application", "128-application.svg", 0, 32},
    {186, "zoom-in", "186-zoom-in.svg", 0, 16},
    {187, "zoom-out", "187-zoom-out.svg", 0, 16},
    {190, "missing-file", "190-missing-file.svg", 0, 32},
    {194, "open-project", "194-open-project.svg", 0, 16},
    {195, "save-project", "195-save-project.svg", 0, 16},
    {196, "delete", "196-delete.svg", 0, 16},
    {198, "move-back-all", "198-move-back-all.svg", 0, 16},
    {199, "move-front-all", "199-move-front-all.svg", 0, 16},
    {200, "move-front", "200-move-front.svg", 0, 16},
    {201, "move-back", "201-move-back.svg", 0, 16},
    {205, "undo", "205-undo.svg", 0, 16},
    {206, "redo", "206-redo.svg", 0, 16},
    {208, "radio-off", "208-radio-off.svg", 0, 16},
    {209, "radio-on", "209-radio-on.svg", 0, 16},
    {239, "crop", "239-crop.svg", 0, 16},
    {245, "delete-disabled", nullptr, 196, 16},
    {290, "undo-disabled", nullptr, 205, 16},
    {291, "redo-disabled", nullptr, 206, 16},
    {292, "move-back-disabled", nullptr, 201, 16},
    {293, "move-front-disabled", nullptr, 200, 16},
    {294, "move-back-all-disabled", nullptr, 198, 16},
    {295, "move-front-all-disabled", nullptr, 199, 16},
    {418, "preview", "418-preview.svg", 0, 16},
    {420, "save-collage", "420-save-collage.svg", 0, 16},
    {421, "setting", "421-setting.svg", 0, 16},
    {422, "crop-disabled", nullptr, 239, 16},
    {423, "add-to-canvas", "423-add-to-canvas.svg", 0, 16},
    {424, "import-photo", "424-import-photo.svg", 0, 16},
    {425, "new-project", "425-new-project.svg", 0, 16},
    {430, "arrange", "430-arrange.svg", 0, 16},
};

struct CursorArt {
    int id;
    const char* role;
    const char* file;
    QPoint hotSpot; // in the cursor's 32 × 32 logical pixels
};

const CursorArt kCursors[] = {
    {176, "colour-pick", "176-colour-pick.svg", QPoint(2, 29)},
    {177, "drag-armed", "177-drag-armed.svg", QPoint(15, 16)},
    {178, "drag-over-canvas", "178-drag-over-canvas.svg", QPoint(2, 2)},
    {179, "hand", "179-hand.svg", QPoint(13, 3)},
    {180, "paint", "180-paint.svg", QPoint(3, 30)},
    {181, "rotate", "181-rotate.svg", QPoint(16, 16)},
};

const IconArt* FindIcon(int id) {
    for (const IconArt& icon : kIcons)
        if (icon.id == id)
            return &icon;
    return nullptr;
}

const CursorArt* FindCursor(int id) {
    for (const CursorArt& cursor : kCursors)
        if (cursor.id == id)
            return &cursor;
    return nullptr;
}

const skinart::BitmapArt* FindBitmap(int id) {
    int count = 0;
    const skinart::BitmapArt* table = skinart::BitmapArtTable(&count);
    for (int i = 0; i < count; ++i)
        if (table[i].id == id)
            return &table[i];
    return nullptr;
}

qreal ScreenRatio(qreal requested) {
    if (requested > 0)
        return requested;
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

QImage Canvas(QSize logical, qreal ratio) {
    QImage image(logical * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

QImage RenderSvg(const QString& path, QSize logical, qreal ratio) {
    QImage image = Canvas(logical, ratio);
    QSvgRenderer renderer(path);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(logical)));
    return image;
}

// The disabled look: grey, lighter, half transparent, keeping the shape.
QImage Greyed(QImage image) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 150 + qGray(row[x]) * 80 / 255;
            row[x] = qRgba(grey, grey, grey, qAlpha(row[x]) * 3 / 4);
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage IconImage(const IconArt& icon, qreal ratio) {
    const QSize size(icon.size, icon.size);
    if (icon.file)
        return RenderSvg(SkinResourceRoot() + QStringLiteral("icons/") + QLatin1String(icon.file),
                         size, ratio);
    const IconArt* twin = FindIcon(icon.enabledTwin);
    return twin ? Greyed(IconImage(*twin, ratio)) : QImage();
}

} // namespace

const std::vector<SkinItem>& SkinItems() {
    static const std::vector<SkinItem> items = [] {
        std::vector<SkinItem> list;
        int count = 0;
        const skinart::BitmapArt* table = skinart::BitmapArtTable(&count);
        for (int i = 0; i < count; ++i)
            list.push_back(
                {SkinKind::Bitmap, table[i].id, QLatin1String(table[i].role), table[i].size});
        for (const IconArt& icon : kIcons)
            list.push_back(
                {SkinKind::Icon, icon.id, QLatin1String(icon.role), QSize(icon.size, icon.size)});
        for (const CursorArt& cursor : kCursors)
            list.push_back(
                {SkinKind::Cursor, cursor.id, QLatin1String(cursor.role), QSize(32, 32)});
        return list;
    }();
    return items;
}

const SkinItem* FindSkinItem(SkinKind kind, int id) {
    for (const SkinItem& item : SkinItems())
        if (item.kind == kind && item.id == id)
            return &item;
    return nullptr;
}

QPixmap SkinBitmap(int id) {
    return SkinBitmap(id, 0);
}

QPixmap SkinBitmap(int id, qreal devicePixelRatio) {
    const qreal ratio = ScreenRatio(devicePixelRatio);
    static QHash<QPair<int, int>, QPixmap> cache;
    const auto key = qMakePair(id, int(ratio * 100));
    if (const auto found = cache.constFind(key); found != cache.constEnd())
        return *found;
    const skinart::BitmapArt* art = FindBitmap(id);
    if (!art)
        return {};
    QImage image = Canvas(art->size, ratio);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        art->draw(painter, art->size);
    }
    const QPixmap pixmap = QPixmap::fromImage(image);
    cache.insert(key, pixmap);
    return pixmap;
}

QPixmap SkinIconPixmap(int id, qreal devicePixelRatio) {
    const IconArt* icon = FindIcon(id);
    if (!icon)
        return {};
    return QPixmap::fromImage(IconImage(*icon, ScreenRatio(devicePixelRatio)));
}

QIcon SkinIcon(int id) {
    const IconArt* art = FindIcon(id);
    if (!art)
        return {};
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0, 3.0}) {
        const QImage image = IconImage(*art, ratio);
        icon.addPixmap(QPixmap::fromImage(image), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(Greyed(image)), QIcon::Disabled);
    }
    return icon;
}

QPixmap SkinCursorPixmap(int id, qreal devicePixelRatio) {
    const CursorArt* cursor = FindCursor(id);
    if (!cursor)
        return {};
    return QPixmap::fromImage(
        RenderSvg(SkinResourceRoot() + QStringLiteral("cursors/") + QLatin1String(cursor->file),
                  QSize(32, 32), ScreenRatio(devicePixelRatio)));
}

QCursor SkinCursor(int id) {
    const CursorArt* cursor = FindCursor(id);
    if (!cursor)
        return QCursor(Qt::ArrowCursor);
    return QCursor(SkinCursorPixmap(id), cursor->hotSpot.x(), cursor->hotSpot.y());
}

} // namespace mosaiq
