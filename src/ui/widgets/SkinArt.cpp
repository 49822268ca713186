#include "ui/widgets/SkinArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <iterator>

namespace mosaiq::skinart {

namespace {

// A rounded box drawn on pixel centres so its 1-pixel outline stays crisp.
void Box(QPainter& p, QRectF r, qreal radius, const QColor& fill, const QColor& line) {
    p.setPen(line.isValid() ? QPen(line, 1) : QPen(Qt::NoPen));
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

// A chevron ("v" pointing down for dir 1, up for -1) centred at (cx, cy).
void Chevron(QPainter& p, qreal cx, qreal cy, qreal half, int dir, const QColor& ink, qreal width) {
    p.setPen(QPen(ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const qreal h = half / 2 * dir;
    p.drawPolyline(
        QPolygonF({QPointF(cx - half, cy - h), QPointF(cx, cy + h), QPointF(cx + half, cy - h)}));
}

// Button faces: 118 × 20, three parts (12-pixel caps, a plain middle) so any width works.
struct Face {
    QColor fill, line;
};
void FaceArt(QPainter& p, QSize s, Face f) {
    Box(p, QRectF(QPointF(0, 0), s), 3, f.fill, f.line);
}

const Face kNeutral{QColor(238, 239, 241), QColor(164, 170, 178)};
const Face kNeutralHover{QColor(226, 236, 249), kAccent};
const Face kNeutralPressed{QColor(198, 216, 240), QColor(40, 96, 168)};
const Face kAction{QColor(250, 250, 251), QColor(150, 158, 168)};
const Face kPrimary{QColor(214, 230, 249), QColor(96, 150, 214)};
const Face kPrimaryHover{QColor(196, 220, 248), kAccent};
const Face kPrimaryPressed{QColor(170, 201, 240), QColor(40, 96, 168)};

// Toolbar button states, 25 × 22: flat on the toolbar strip, a box when hovered or pressed.
void ToolFlat(QPainter& p, QSize s) {
    p.fillRect(QRect(QPoint(0, 0), s), kGround221);
}
void ToolHover(QPainter& p, QSize s) {
    ToolFlat(p, s);
    Box(p, QRectF(QPointF(0, 0), s), 3, QColor(238, 243, 250), QColor(132, 166, 210));
}
void ToolPressed(QPainter& p, QSize s) {
    ToolFlat(p, s);
    Box(p, QRectF(QPointF(0, 0), s), 3, QColor(200, 216, 238), kAccent);
}

// Caption strip, 1018 × 30: left corner 0–30, middle from 30, right corner from 988.
void CaptionStrip(QPainter& p, QSize s) {
    QPainterPath shape;
    shape.setFillRule(Qt::WindingFill); // the corner pieces and the middle overlap
    shape.addRoundedRect(QRectF(0, 0, 30, 40), 8, 8);
    shape.addRect(QRectF(8, 0, s.width() - 16, 30));
    shape.addRoundedRect(QRectF(988, 0, 30, 40), 8, 8);
    p.setClipRect(QRect(QPoint(0, 0), s));
    p.fillPath(shape.simplified(), kCaption);
    p.fillRect(QRectF(8, 0, s.width() - 16, 1), QColor(160, 170, 184));
}

// Dialog borders: the frame line in the caption colour on the dialog ground.
void LeftBorder(QPainter& p, QSize s) {
    p.fillRect(QRect(QPoint(0, 0), s), kGround230);
    p.fillRect(QRect(0, 0, 2, s.height()), kCaption);
}
void RightBorder(QPainter& p, QSize s) {
    p.fillRect(QRect(QPoint(0, 0), s), kGround230);
    p.fillRect(QRect(s.width() - 2, 0, 2, s.height()), kCaption);
}
void BottomBorder(QPainter& p, QSize s) {
    p.fillRect(QRect(QPoint(0, 0), s), kGround230);
    p.setPen(QPen(kCaption, 2));
    p.setBrush(Qt::NoBrush);
    // Left piece (0–20) and right piece (988–1018) turn the corners with a radius of 8.
    QPainterPath left;
    left.moveTo(1, -2);
    left.lineTo(1, 5);
    left.arcTo(QRectF(1, -3, 16, 16), 180, 90);
    left.lineTo(20, 13);
    p.drawPath(left);
    p.fillRect(QRect(20, 12, 968, 2), kCaption);
    QPainterPath right;
    right.moveTo(988, 13);
    right.lineTo(1009, 13);
    right.arcTo(QRectF(1001, -3, 16, 16), 270, 90);
    right.lineTo(1017, -2);
    p.drawPath(right);
}

// Caption buttons, 18 × 17, on the caption strip; the glyph is drawn white.
enum class Glyph { Close, Maximise, Minimise };
void CaptionButton(QPainter& p, QSize s, Glyph glyph, const QColor& back) {
    p.fillRect(QRect(QPoint(0, 0), s), kCaption);
    if (back.isValid())
        Box(p, QRectF(QPointF(0, 0), s), 3, back, QColor());
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const QRectF g(5, 4.5, 8, 8);
    switch (glyph) {
    case Glyph::Close:
        p.drawLine(g.topLeft(), g.bottomRight());
        p.drawLine(g.topRight(), g.bottomLeft());
        break;
    case Glyph::Maximise:
        p.drawRect(g);
        p.drawLine(QPointF(g.left(), g.top() + 1), QPointF(g.right(), g.top() + 1));
        break;
    case Glyph::Minimise:
        p.drawLine(QPointF(g.left(), g.bottom()), QPointF(g.right(), g.bottom()));
        break;
    }
}
const QColor kCaptionHover(164, 174, 188);
const QColor kCaptionPressed(100, 110, 124);
const QColor kCloseHover(212, 72, 64);
const QColor kClosePressed(168, 48, 42);

// Tabs, 102 × 22, rounded on top; their captions are light, so both faces are dark.
void Tab(QPainter& p, QSize s, const QColor& fill) {
    QPainterPath path;
    path.addRoundedRect(QRectF(0.5, 0.5, s.width() - 1, s.height() + 6), 5, 5);
    p.setClipRect(QRect(QPoint(0, 0), s));
    p.fillPath(path, fill);
}

// Panel header, 580 × 30: left 30, middle from 30 (500 wide), right from 550.
void PanelHeader(QPainter& p, QSize s) {
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, s.width(), s.height() + 10), 6, 6);
    p.setClipRect(QRect(QPoint(0, 0), s));
    p.fillPath(path, kCaptionDark);
    p.fillRect(QRect(0, s.height() - 2, s.width(), 2), kAccent);
}

void ToolbarStrip(QPainter& p, QSize s) {
    p.fillRect(QRect(QPoint(0, 0), s), kGround221);
    p.fillRect(QRect(0, 0, s.width(), 1), QColor(206, 206, 206));
    p.fillRect(QRect(0, s.height() - 1, s.width(), 1), QColor(196, 196, 196));
}

void MenuBarBack(QPainter& p, QSize s) {
    p.fillRect(QRect(QPoint(0, 0), s), kCaption);
}

// The face of the colour picker and the combo box, 114 × 20: a white field, and from x 94 the
// 20-pixel drop-down arrow.
void ThreePartFace(QPainter& p, QSize s) {
    Box(p, QRectF(QPointF(0, 0), s), 3, Qt::white, kLine);
    p.fillRect(QRectF(94, 1, 19, 18), QColor(236, 238, 241));
    p.fillRect(QRectF(94, 1, 1, 18), QColor(208, 212, 218));
    Chevron(p, 104, 10, 3.5, 1, kInk, 1.6);
}

// Slider track 130 × 13 (caps of 10, middle 10–29 stretched) and thumb 16 × 13.
void SliderTrack(QPainter& p, QSize s) {
    Box(p, QRectF(1, 4, s.width() - 2, 5), 2.5, QColor(200, 205, 212), QColor(176, 182, 190));
}
void SliderThumb(QPainter& p, QSize) {
    Box(p, QRectF(1, 0, 14, 13), 4, kAccent, QColor(36, 90, 160));
    p.fillRect(QRectF(5, 3, 6, 1), QColor(255, 255, 255, 150));
}

// Scroll bar parts, 17 wide: arrows 17 × 16, track 17 × 1, thumb caps 17 × 10, middle 17 × 4.
const QColor kThumb(190, 196, 205);
void ScrollTrack(QPainter& p, QSize s) {
    p.fillRect(QRect(QPoint(0, 0), s), kGround240);
    p.fillRect(QRect(0, 0, 1, s.height()), QColor(222, 222, 222));
}
void ScrollArrow(QPainter& p, QSize s, int dir) {
    ScrollTrack(p, s);
    Chevron(p, 8.5, 8, 3.5, dir, QColor(96, 104, 116), 1.6);
}
void ScrollThumbTop(QPainter& p, QSize s) {
    ScrollTrack(p, s);
    Box(p, QRectF(3, 1, 11, 18), 5, kThumb, QColor());
}
void ScrollThumbBottom(QPainter& p, QSize s) {
    ScrollTrack(p, s);
    Box(p, QRectF(3, -9, 11, 18), 5, kThumb, QColor());
}
void ScrollThumbMiddle(QPainter& p, QSize s) {
    ScrollTrack(p, s);
    p.fillRect(QRectF(3, 0, 11, s.height()), kThumb);
}

// Palette button 16 × 15: a small colour wheel that opens the colour dialog.
void PaletteButton(QPainter& p, QSize) {
    const QColor colours[] = {QColor(224, 72, 64), QColor(240, 190, 50), QColor(72, 168, 84),
                              QColor(61, 127, 208)};
    const QRectF circle(1.5, 1, 13, 13);
    for (int i = 0; i < 4; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(colours[i]);
        p.drawPie(circle, i * 90 * 16, 90 * 16);
    }
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(5.5, 5, 5, 5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(circle);
}

// Photo backdrop 151 × 128: a white card with a soft edge, drawn behind every thumbnail.
void PhotoBackdrop(QPainter& p, QSize s) {
    p.fillRect(QRect(QPoint(0, 0), s), kGround240);
    Box(p, QRectF(2, 2, s.width() - 2, s.height() - 2), 4, QColor(214, 216, 220), QColor());
    Box(p, QRectF(0, 0, s.width() - 2, s.height() - 2), 4, Qt::white, QColor(196, 200, 206));
}

// Browse button 20 × 20: a small folder on a button face.
void BrowseButton(QPainter& p, QSize s) {
    FaceArt(p, s, kNeutral);
    QPainterPath folder;
    folder.moveTo(4.5, 6.5);
    folder.lineTo(8, 6.5);
    folder.lineTo(9.5, 8);
    folder.lineTo(15.5, 8);
    folder.lineTo(15.5, 14.5);
    folder.lineTo(4.5, 14.5);
    folder.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(240, 200, 96));
    p.drawPath(folder);
}

#define FACE(name, face)                                                                           \
    void name(QPainter& p, QSize s) {                                                              \
        FaceArt(p, s, face);                                                                       \
    }
FACE(Neutral, kNeutral)
FACE(NeutralHover, kNeutralHover)
FACE(NeutralPressed, kNeutralPressed)
FACE(Action, kAction)
FACE(Primary, kPrimary)
FACE(PrimaryHover, kPrimaryHover)
FACE(PrimaryPressed, kPrimaryPressed)
#undef FACE

const QSize kFace(118, 20);
const QSize kCaptionButton(18, 17);

const BitmapArt kTable[] = {
    {129, "toolbar-button-normal", QSize(25, 22), ToolFlat},
    {131, "three-part-face", QSize(114, 20), ThreePartFace},
    {132, "dialog-border-bottom", QSize(1018, 14), BottomBorder},
    {133, "dialog-border-left", QSize(20, 562), LeftBorder},
    {134, "dialog-border-right", QSize(20, 563), RightBorder},
    {135, "caption-strip", QSize(1018, 30), CaptionStrip},
    {136, "caption-close", kCaptionButton,
     [](QPainter& p, QSize s) { CaptionButton(p, s, Glyph::Close, QColor()); }},
    {137, "caption-maximise", kCaptionButton,
     [](QPainter& p, QSize s) { CaptionButton(p, s, Glyph::Maximise, QColor()); }},
    {138, "caption-minimise", kCaptionButton,
     [](QPainter& p, QSize s) { CaptionButton(p, s, Glyph::Minimise, QColor()); }},
    {141, "tab", QSize(102, 22), [](QPainter& p, QSize s) { Tab(p, s, QColor(122, 132, 146)); }},
    {156, "slider-thumb", QSize(16, 13), SliderThumb},
    {158, "scroll-thumb-bottom", QSize(17, 10), ScrollThumbBottom},
    {159, "scroll-thumb-top", QSize(17, 10), ScrollThumbTop},
    {160, "scroll-thumb-middle", QSize(17, 4), ScrollThumbMiddle},
    {161, "scroll-track", QSize(17, 1), ScrollTrack},
    {162, "scroll-arrow-down", QSize(17, 16), [](QPainter& p, QSize s) { ScrollArrow(p, s, 1); }},
    {163, "scroll-arrow-up", QSize(17, 16), [](QPainter& p, QSize s) { ScrollArrow(p, s, -1); }},
    {170, "slider-track", QSize(130, 13), SliderTrack},
    {181, "palette-button", QSize(16, 15), PaletteButton},
    {189, "photo-backdrop", QSize(151, 128), PhotoBackdrop},
    {192, "tab-active", QSize(102, 22), [](QPainter& p, QSize s) { Tab(p, s, kAccent); }},
    {193, "action-button-pressed", kFace, NeutralPressed},
    {194, "action-button-hover", kFace, NeutralHover},
    {195, "action-button-normal", kFace, Action},
    {196, "toolbar-button-pressed", QSize(25, 22), ToolPressed},
    {197, "toolbar-button-hover", QSize(25, 22), ToolHover},
    {204, "button-pressed", kFace, NeutralPressed},
    {205, "button-hover", kFace, NeutralHover},
    {206, "button-normal", kFace, Neutral},
    {217, "caption-close-hover", kCaptionButton,
     [](QPainter& p, QSize s) { CaptionButton(p, s, Glyph::Close, kCloseHover); }},
    {218, "caption-close-pressed", kCaptionButton,
     [](QPainter& p, QSize s) { CaptionButton(p, s, Glyph::Close, kClosePressed); }},
    {219, "caption-maximise-hover", kCaptionButton,
     [](QPainter& p, QSize s) { CaptionButton(p, s, Glyph::Maximise, kCaptionHover); }},
    {220, "caption-maximise-pressed", kCaptionButton,
     [](QPainter& p, QSize s) { CaptionButton(p, s, Glyph::Maximise, kCaptionPressed); }},
    {221, "caption-minimise-hover", kCaptionButton,
     [](QPainter& p, QSize s) { CaptionButton(p, s, Glyph::Minimise, kCaptionHover); }},
    {222, "caption-minimise-pressed", kCaptionButton,
     [](QPainter& p, QSize s) { CaptionButton(p, s, Glyph::Minimise, kCaptionPressed); }},
    {223, "toolbar-button-disabled", QSize(25, 22), ToolFlat},
    {254, "primary-button-hover", kFace, PrimaryHover},
    {255, "primary-button-normal", kFace, Primary},
    {256, "primary-button-pressed", kFace, PrimaryPressed},
    {261, "menu-bar-button", QSize(70, 20), MenuBarBack},
    {262, "panel-header", QSize(580, 30), PanelHeader},
    {263, "toolbar-strip", QSize(300, 27), ToolbarStrip},
    {348, "browse-button", QSize(20, 20), BrowseButton},
};

} // namespace

const BitmapArt* BitmapArtTable(int* count) {
    *count = int(std::size(kTable));
    return kTable;
}

} // namespace mosaiq::skinart
