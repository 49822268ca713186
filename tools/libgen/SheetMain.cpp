// mosaiq-libsheet DATADIR OUT.png: a contact sheet of the starter libraries as written into a data
// directory (run "mosaiq-cli --data DATADIR init" first). Cliparts and brushes are shown on a
// checkerboard, decorations as stored and recoloured in three colours by the canvas's preset
// recolouring, frames over a stand-in photo drawn into their windows, beside their thumbnails.
#include "canvas/edits/PresetRecolour.h"
#include "library/items/FrameLibrary.h"
#include "library/items/PictureList.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

constexpr int kSheetWidth = 1640;
constexpr int kMargin = 16;

using mosaiq::Colorref;
using mosaiq::MakeColorref;

struct Family {
    const char* file;
    Colorref defaultColour;
};

constexpr Family kFamilies[] = {
    {"chrome_p.cfg", MakeColorref(127, 127, 127)}, {"ca_p.cfg", MakeColorref(200, 120, 60)},
    {"emboss_p.cfg", MakeColorref(224, 180, 0)},   {"cloth_p.cfg", MakeColorref(127, 127, 127)},
    {"glow_p.cfg", MakeColorref(255, 150, 0)},     {"neon_p.cfg", MakeColorref(0, 200, 200)},
};

// Lays cells out left to right, row after row, growing the sheet as it goes.
class Sheet {
public:
    Sheet() : m_image(kSheetWidth, 20000, QImage::Format_ARGB32_Premultiplied) {
        m_image.fill(QColor(250, 250, 250));
    }
    void Heading(const QString& text) {
        NewRow();
        m_y += 10;
        QPainter p(&m_image);
        QFont f = p.font();
        f.setPixelSize(18);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(40, 40, 40));
        p.drawText(QPoint(kMargin, m_y + 20), text);
        m_y += 30;
    }
    // A cell of w x h whose top-left corner is handed to paint.
    void Cell(int w, int h, const std::function<void(QPainter&, QRect)>& paint) {
        if (m_x + w > kSheetWidth - kMargin)
            NewRow();
        QPainter p(&m_image);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        paint(p, QRect(m_x, m_y, w, h));
        m_x += w + 6;
        m_rowHeight = std::max(m_rowHeight, h);
    }
    void NewRow() {
        if (m_x > kMargin)
            m_y += m_rowHeight + 6;
        m_x = kMargin;
        m_rowHeight = 0;
    }
    QImage Result() {
        NewRow();
        return m_image.copy(0, 0, kSheetWidth, m_y + kMargin);
    }

private:
    QImage m_image;
    int m_x = kMargin;
    int m_y = kMargin;
    int m_rowHeight = 0;
};

void Checker(QPainter& p, QRect r) {
    p.save();
    p.setClipRect(r);
    for (int y = r.top(); y < r.bottom(); y += 10)
        for (int x = r.left(); x < r.right(); x += 10)
            p.fillRect(x, y, 10, 10,
                       ((x - r.left()) / 10 + (y - r.top()) / 10) % 2 ? QColor(204, 204, 204)
                                                                      : QColor(238, 238, 238));
    p.restore();
}

// The picture scaled down (never up) to fit r, centred in it.
void DrawFitted(QPainter& p, const QImage& picture, QRect r) {
    QSize size = picture.size();
    if (size.width() > r.width() || size.height() > r.height())
        size.scale(r.size(), Qt::KeepAspectRatio);
    p.drawImage(QRect(r.center() - QPoint(size.width() / 2, size.height() / 2), size), picture);
}

QImage StandInPhoto(QSize size) {
    QImage photo(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&photo);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(110, 170, 230));
    sky.setColorAt(1, QColor(220, 236, 250));
    p.fillRect(photo.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(80, 150, 70));
    p.drawEllipse(
        QRectF(-size.width() * 0.2, size.height() * 0.6, size.width() * 0.9, size.height() * 0.8));
    p.setBrush(QColor(60, 125, 60));
    p.drawEllipse(
        QRectF(size.width() * 0.35, size.height() * 0.66, size.width() * 0.9, size.height() * 0.8));
    p.setBrush(QColor(255, 220, 90));
    p.drawEllipse(QPointF(size.width() * 0.75, size.height() * 0.25), size.height() * 0.1,
                  size.height() * 0.1);
    return photo;
}

void PictureSection(Sheet& sheet, const QString& dir, const QString& file, int cell,
                    const QColor& background) {
    const std::vector<QImage> items = mosaiq::ReadPictureList(dir + file);
    sheet.Heading(QStringLiteral("%1: %2 items").arg(file).arg(items.size()));
    for (const QImage& item : items) {
        sheet.Cell(cell, cell, [&](QPainter& p, QRect r) {
            if (background.isValid())
                p.fillRect(r, background);
            else
                Checker(p, r);
            DrawFitted(p, item, r.adjusted(3, 3, -3, -3));
        });
    }
}

void DecorationSection(Sheet& sheet, const QString& dir, const Family& family) {
    const QString file = QString::fromLatin1(family.file);
    const std::vector<QImage> items = mosaiq::ReadPictureList(dir + file);
    sheet.Heading(QStringLiteral("%1: %2 items; as stored, then in its default colour, red, "
                                 "blue")
                      .arg(file)
                      .arg(items.size()));
    const Colorref colours[] = {family.defaultColour, MakeColorref(214, 30, 60),
                                MakeColorref(40, 90, 220)};
    for (int row = 0; row < 4; ++row) {
        sheet.NewRow();
        for (const QImage& item : items) {
            const QImage shown = row == 0 ? item : mosaiq::RecolourPreset(item, colours[row - 1]);
            sheet.Cell(154, 154, [&](QPainter& p, QRect r) {
                Checker(p, r);
                DrawFitted(p, shown, r.adjusted(2, 2, -2, -2));
            });
        }
    }
}

void FrameSection(Sheet& sheet, const QString& dir) {
    const QString frames = dir + QStringLiteral("frame.cfg");
    const QString thumbs = dir + QStringLiteral("tbframe.cfg");
    const int count = mosaiq::ReadPictureListCount(thumbs);
    sheet.Heading(QStringLiteral("frame.cfg with tbframe.cfg: %1 frames (framed stand-in photo, "
                                 "then the thumbnail)")
                      .arg(count));
    for (int i = 0; i < count; ++i) {
        const std::optional<QImage> frame = mosaiq::ReadFrame(frames, i);
        const std::optional<mosaiq::FrameWindow> window = mosaiq::ReadFrameWindow(frames, i);
        const std::optional<QImage> thumb = mosaiq::ReadThumbnail(thumbs, i);
        if (!frame || !window || !thumb)
            continue;
        QSize box = frame->size();
        box.scale(QSize(360, 300), Qt::KeepAspectRatio);
        sheet.Cell(box.width() + 130, 300, [&](QPainter& p, QRect r) {
            Checker(p, QRect(r.topLeft(), box));
            // The photo goes into the window enlarged by a hundredth on each side, as the canvas
            // draws it, then the frame over the whole box.
            const QRect into(int(box.width() * (window->left - 0.01f)),
                             int(box.height() * (window->top - 0.01f)),
                             int(box.width() * (window->right - window->left + 0.02f)),
                             int(box.height() * (window->bottom - window->top + 0.02f)));
            p.drawImage(into.translated(r.topLeft()), StandInPhoto(into.size()));
            p.drawImage(QRect(r.topLeft(), box), *frame);
            const QRect t(r.left() + box.width() + 6, r.top(), thumb->width(), thumb->height());
            Checker(p, t);
            p.drawImage(t, *thumb);
        });
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mosaiq-libsheet DATADIR OUT.png\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString dir = QString::fromLocal8Bit(argv[1]);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    Sheet sheet;
    PictureSection(sheet, dir, QStringLiteral("clipart.cfg"), 154, QColor());
    for (const Family& family : kFamilies)
        DecorationSection(sheet, dir, family);
    PictureSection(sheet, dir, QStringLiteral("brushs"), 104, QColor(60, 64, 72));
    FrameSection(sheet, dir);
    if (!sheet.Result().save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "mosaiq-libsheet: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
