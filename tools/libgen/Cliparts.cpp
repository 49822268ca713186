// The clipart library: pictures a person making a family, holiday or party collage reaches for.
#include "DrawKit.h"
#include "Libraries.h"

#include <QtMath>

#include <cmath>
#include <functional>

namespace mosaiq::libgen {
namespace {

using Painter = std::function<void(QPainter&)>;

QImage Draw(int w, int h, const Painter& paint) {
    QImage canvas = NewCanvas(w, h);
    QPainter p(&canvas);
    PreparePainter(p);
    paint(p);
    p.end();
    return Finished(canvas);
}

const QColor kRed(226, 48, 63);
const QColor kPink(246, 120, 170);
const QColor kGold(247, 196, 38);
const QColor kOrange(247, 140, 40);
const QColor kSky(92, 170, 235);
const QColor kGreen(86, 176, 72);
const QColor kPurple(150, 96, 200);

QPen Outline(const QColor& c, double width) {
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Heart(QPainter& p) {
    const QPainterPath heart = HeartPath(QRectF(18, 22, 164, 150));
    DropShadow(p, heart, 4, 5);
    FillGlossy(p, heart, kRed, 2.5);
}

void TwoHearts(QPainter& p) {
    p.save();
    p.translate(95, 105);
    p.rotate(-14);
    const QPainterPath back = HeartPath(QRectF(-80, -72, 150, 136));
    DropShadow(p, back, 3, 4);
    FillGlossy(p, back, kPink, 2.5);
    p.restore();
    p.translate(150, 118);
    p.rotate(12);
    const QPainterPath front = HeartPath(QRectF(-66, -58, 124, 112));
    DropShadow(p, front, 3, 4);
    FillGlossy(p, front, kRed, 2.5);
}

void Star(QPainter& p) {
    const QPainterPath star = StarPath(QPointF(105, 108), 96, 40, 5);
    DropShadow(p, star, 4, 5);
    FillGlossy(p, star, kGold, 3);
}

void ShootingStar(QPainter& p) {
    const QColor trail[] = {QColor(255, 120, 160), QColor(255, 210, 60), QColor(110, 190, 255)};
    for (int i = 0; i < 3; ++i) {
        const double y = 62 + i * 20;
        QLinearGradient g(20, y, 190, y);
        g.setColorAt(0, QColor(trail[i].red(), trail[i].green(), trail[i].blue(), 0));
        g.setColorAt(1, trail[i]);
        p.setPen(QPen(QBrush(g), 11, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(20 + i * 16, y + 24 - i * 6), QPointF(185, 78 + i * 8));
    }
    FillGlossy(p, StarPath(QPointF(200, 82), 56, 24, 5, -80), kGold, 3);
}

// A balloon of the given colour whose knot sits at knot; returns nothing, draws body and knot.
void Balloon(QPainter& p, QPointF knot, double rx, double ry, const QColor& c) {
    QPainterPath body;
    const QPointF top(knot.x(), knot.y() - 2 * ry);
    body.moveTo(knot);
    body.cubicTo(knot.x() + rx * 0.5, knot.y() - ry * 0.15, knot.x() + rx * 1.1,
                 knot.y() - ry * 0.9, knot.x() + rx, knot.y() - ry * 1.35);
    body.cubicTo(knot.x() + rx * 0.9, top.y() - ry * 0.08, knot.x() - rx * 0.9, top.y() - ry * 0.08,
                 knot.x() - rx, knot.y() - ry * 1.35);
    body.cubicTo(knot.x() - rx * 1.1, knot.y() - ry * 0.9, knot.x() - rx * 0.5,
                 knot.y() - ry * 0.15, knot.x(), knot.y());
    body.closeSubpath();
    FillGlossy(p, body, c, 2);
    QPainterPath tie;
    tie.moveTo(knot);
    tie.lineTo(knot.x() - 7, knot.y() + 10);
    tie.lineTo(knot.x() + 7, knot.y() + 10);
    tie.closeSubpath();
    p.setPen(Outline(Darker(c, 0.45), 1.5));
    p.setBrush(Darker(c, 0.15));
    p.drawPath(tie);
}

void String(QPainter& p, QPointF from, QPointF to, double sway) {
    QPainterPath s;
    s.moveTo(from);
    const QPointF d = to - from;
    s.cubicTo(from + QPointF(sway, d.y() * 0.33), from + QPointF(-sway, d.y() * 0.66), to);
    p.setPen(Outline(QColor(110, 110, 120), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(s);
}

void RedBalloon(QPainter& p) {
    String(p, QPointF(80, 182), QPointF(84, 255), 12);
    Balloon(p, QPointF(80, 172), 66, 80, kRed);
}

void BalloonBunch(QPainter& p) {
    const QPointF tie(122, 262);
    String(p, QPointF(62, 150), tie, 8);
    String(p, QPointF(178, 146), tie, -8);
    String(p, QPointF(122, 128), tie, 6);
    Balloon(p, QPointF(62, 140), 50, 62, kSky);
    Balloon(p, QPointF(178, 136), 50, 62, kPink);
    Balloon(p, QPointF(122, 118), 54, 56, kGold);
    p.setPen(Outline(Darker(kRed, 0.4), 1.5));
    p.setBrush(kRed);
    p.drawEllipse(QPointF(tie.x() - 9, tie.y() - 4), 10, 6);
    p.drawEllipse(QPointF(tie.x() + 9, tie.y() - 4), 10, 6);
}

void Flower(QPainter& p) {
    const QPointF c(100, 100);
    for (int i = 0; i < 5; ++i) {
        p.save();
        p.translate(c);
        p.rotate(72.0 * i);
        QPainterPath petal;
        petal.addEllipse(QRectF(-34, -92, 68, 82));
        FillGlossy(p, petal, kPink, 2, false);
        p.restore();
    }
    QPainterPath centre;
    centre.addEllipse(c, 28, 28);
    FillGlossy(p, centre, kGold, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(Darker(kOrange, 0.1));
    for (int i = 0; i < 8; ++i) {
        const double a = qDegreesToRadians(45.0 * i);
        p.drawEllipse(c + QPointF(std::cos(a), std::sin(a)) * 15, 3, 3);
    }
}

void Daisy(QPainter& p) {
    const QPointF c(100, 100);
    for (int i = 0; i < 14; ++i) {
        p.save();
        p.translate(c);
        p.rotate(360.0 / 14 * i);
        QPainterPath petal;
        petal.addEllipse(QRectF(-13, -94, 26, 70));
        FillGlossy(p, petal, QColor(250, 250, 252), 1.8, false);
        p.restore();
    }
    QPainterPath centre;
    centre.addEllipse(c, 30, 30);
    FillGlossy(p, centre, QColor(250, 178, 30), 2);
}

void Tulip(QPainter& p) {
    QPainterPath stem;
    stem.moveTo(80, 120);
    stem.cubicTo(84, 170, 76, 210, 80, 255);
    p.setPen(Outline(Darker(kGreen, 0.2), 7));
    p.drawPath(stem);
    FillGlossy(p, LeafPath(QPointF(80, 250), QPointF(30, 150), 22), kGreen, 1.5, false);
    FillGlossy(p, LeafPath(QPointF(82, 250), QPointF(135, 175), 18), kGreen, 1.5, false);
    QPainterPath cup;
    cup.moveTo(40, 40);
    cup.lineTo(58, 62);
    cup.lineTo(80, 30);
    cup.lineTo(102, 62);
    cup.lineTo(120, 40);
    cup.cubicTo(128, 90, 116, 128, 80, 130);
    cup.cubicTo(44, 128, 32, 90, 40, 40);
    cup.closeSubpath();
    FillGlossy(p, cup, kRed, 2.5);
}

void Ribbon(QPainter& p) {
    const QColor c(206, 38, 58);
    QPainterPath leftEnd;
    leftEnd.moveTo(10, 62);
    leftEnd.lineTo(64, 62);
    leftEnd.lineTo(64, 122);
    leftEnd.lineTo(10, 122);
    leftEnd.lineTo(30, 92);
    leftEnd.closeSubpath();
    QPainterPath rightEnd = QTransform(-1, 0, 0, 1, 280, 0).map(leftEnd);
    FillGlossy(p, leftEnd, Darker(c, 0.2), 2, false);
    FillGlossy(p, rightEnd, Darker(c, 0.2), 2, false);
    QPainterPath folds;
    folds.moveTo(46, 104);
    folds.lineTo(64, 122);
    folds.lineTo(64, 104);
    folds.closeSubpath();
    folds.addPath(QTransform(-1, 0, 0, 1, 280, 0).map(folds));
    p.setPen(Qt::NoPen);
    p.setBrush(Darker(c, 0.5));
    p.drawPath(folds);
    QPainterPath band;
    band.moveTo(46, 30);
    band.quadTo(140, 14, 234, 30);
    band.lineTo(234, 104);
    band.quadTo(140, 88, 46, 104);
    band.closeSubpath();
    FillGlossy(p, band, c, 2, false);
    p.setPen(QPen(Lighter(c, 0.4), 2, Qt::DashLine));
    QPainterPath stitch;
    stitch.moveTo(54, 38);
    stitch.quadTo(140, 23, 226, 38);
    stitch.moveTo(54, 96);
    stitch.quadTo(140, 81, 226, 96);
    p.setBrush(Qt::NoBrush);
    p.drawPath(stitch);
}

void Bow(QPainter& p) {
    const QColor c(238, 92, 150);
    for (double side : {-1.0, 1.0}) {
        QPainterPath tail;
        tail.moveTo(120, 92);
        tail.lineTo(120 + side * 30, 160);
        tail.lineTo(120 + side * 48, 146);
        tail.lineTo(120 + side * 58, 164);
        tail.lineTo(120 + side * 14, 90);
        tail.closeSubpath();
        FillGlossy(p, tail, Darker(c, 0.1), 2, false);
    }
    for (double side : {-1.0, 1.0}) {
        QPainterPath loop;
        loop.moveTo(120, 82);
        loop.cubicTo(120 + side * 40, 10, 120 + side * 118, 20, 120 + side * 108, 82);
        loop.cubicTo(120 + side * 100, 130, 120 + side * 44, 118, 120, 82);
        loop.closeSubpath();
        FillGlossy(p, loop, c, 2);
    }
    QPainterPath knot;
    knot.addRoundedRect(QRectF(104, 64, 32, 38), 10, 10);
    FillGlossy(p, knot, Darker(c, 0.05), 2);
}

void SpeechBubble(QPainter& p) {
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(12, 12, 216, 130), 40, 40);
    QPainterPath tail;
    tail.moveTo(60, 130);
    tail.lineTo(40, 182);
    tail.lineTo(104, 136);
    tail.closeSubpath();
    bubble = bubble.united(tail);
    DropShadow(p, bubble, 4, 5, 45);
    p.setPen(Outline(QColor(60, 70, 90), 4));
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(bubble);
}

void ThoughtBubble(QPainter& p) {
    QPainterPath cloud = CloudPath(QRectF(8, 4, 226, 150));
    QPainterPath small;
    small.addEllipse(QPointF(58, 162), 14, 12);
    small.addEllipse(QPointF(34, 186), 8, 7);
    DropShadow(p, cloud, 4, 5, 45);
    DropShadow(p, small, 3, 4, 45);
    p.setPen(Outline(QColor(60, 70, 90), 4));
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(cloud);
    p.drawPath(small);
}

void Arrow(QPainter& p) {
    const QPainterPath arrow = ArrowPath(QRectF(12, 14, 214, 112));
    DropShadow(p, arrow, 4, 5);
    FillGlossy(p, arrow, kOrange, 3);
}

void CurvedArrow(QPainter& p) {
    QPainterPath arc;
    arc.moveTo(30, 170);
    arc.cubicTo(20, 70, 120, 30, 170, 80);
    QPainterPathStroker stroker;
    stroker.setWidth(30);
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath body = stroker.createStroke(arc);
    QPainterPath head;
    head.moveTo(204, 44);
    head.lineTo(210, 128);
    head.lineTo(128, 108);
    head.closeSubpath();
    const QPainterPath arrow = body.united(head).simplified();
    DropShadow(p, arrow, 4, 5);
    FillGlossy(p, arrow, kSky, 3);
}

void Sun(QPainter& p) {
    const QPointF c(110, 110);
    QPainterPath rays;
    for (int i = 0; i < 12; ++i) {
        const double a = qDegreesToRadians(30.0 * i);
        const double b = qDegreesToRadians(30.0 * i + 9);
        const double e = qDegreesToRadians(30.0 * i - 9);
        QPainterPath ray;
        ray.moveTo(c + QPointF(std::cos(b), std::sin(b)) * 60);
        ray.lineTo(c + QPointF(std::cos(a), std::sin(a)) * 104);
        ray.lineTo(c + QPointF(std::cos(e), std::sin(e)) * 60);
        ray.closeSubpath();
        rays.addPath(ray);
    }
    FillGlossy(p, rays, kOrange, 2, false);
    QPainterPath disc;
    disc.addEllipse(c, 66, 66);
    FillGlossy(p, disc, QColor(252, 210, 40), 3);
    p.setPen(Outline(Darker(kOrange, 0.35), 4));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 32, c.y() - 26, 64, 56), -20 * 16, -140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Darker(kOrange, 0.35));
    p.drawEllipse(QPointF(c.x() - 22, c.y() - 14), 6, 8);
    p.drawEllipse(QPointF(c.x() + 22, c.y() - 14), 6, 8);
    p.setBrush(QColor(255, 140, 140, 120));
    p.drawEllipse(QPointF(c.x() - 40, c.y() + 10), 10, 7);
    p.drawEllipse(QPointF(c.x() + 40, c.y() + 10), 10, 7);
}

void Snowflake(QPainter& p) {
    const QPainterPath flake = SnowflakePath(QPointF(100, 100), 90, 13);
    DropShadow(p, flake, 3, 4, 40);
    QRadialGradient g(QPointF(100, 100), 95);
    g.setColorAt(0, QColor(235, 248, 255));
    g.setColorAt(1, QColor(120, 190, 240));
    p.setPen(Outline(QColor(60, 120, 190), 2));
    p.setBrush(g);
    p.drawPath(flake);
}

void Leaf(QPainter& p) {
    const QPointF base(40, 170);
    const QPointF tip(175, 28);
    p.setPen(Outline(Darker(kGreen, 0.4), 6));
    p.drawLine(QPointF(20, 190), base);
    FillGlossy(p, LeafPath(base, tip, 62), kGreen, 2.5, false);
    p.setPen(Outline(Lighter(kGreen, 0.45), 3));
    p.drawLine(base, tip - (tip - base) * 0.08);
    p.setPen(Outline(Lighter(kGreen, 0.4), 2));
    for (double t : {0.25, 0.45, 0.65}) {
        const QPointF on = base + (tip - base) * t;
        p.drawLine(on, on + QPointF(-10, -42) * (1.0 - t * 0.6));
        p.drawLine(on, on + QPointF(42, 10) * (1.0 - t * 0.6));
    }
}

void MapleLeaf(QPainter& p) {
    // One half of the outline, mirrored about the vertical axis x = 100.
    const QPointF half[] = {{100, 10},  {118, 50},  {134, 40},  {130, 88},  {166, 56},
                            {170, 72},  {192, 70},  {178, 104}, {190, 112}, {140, 150},
                            {146, 166}, {104, 160}, {104, 205}};
    QPainterPath leaf;
    leaf.moveTo(half[0]);
    for (const QPointF& pt : half)
        leaf.lineTo(pt);
    for (int i = int(std::size(half)) - 1; i >= 0; --i)
        leaf.lineTo(QPointF(200 - half[i].x(), half[i].y()));
    leaf.closeSubpath();
    const QColor c(226, 96, 34);
    DropShadow(p, leaf, 3, 4, 50);
    FillGlossy(p, leaf, c, 2.5, false);
    p.setPen(Outline(Darker(c, 0.3), 2.5));
    p.drawLine(QPointF(100, 200), QPointF(100, 40));
    p.drawLine(QPointF(100, 140), QPointF(160, 84));
    p.drawLine(QPointF(100, 140), QPointF(40, 84));
    p.drawLine(QPointF(100, 150), QPointF(150, 158));
    p.drawLine(QPointF(100, 150), QPointF(50, 158));
}

void GiftBox(QPainter& p) {
    const QColor box(64, 150, 220);
    const QColor ribbon(246, 70, 98);
    QPainterPath body;
    body.addRoundedRect(QRectF(24, 92, 152, 106), 6, 6);
    QPainterPath lid;
    lid.addRoundedRect(QRectF(14, 66, 172, 34), 6, 6);
    DropShadow(p, body, 4, 5);
    FillGlossy(p, body, box, 2.5, false);
    FillGlossy(p, lid, Lighter(box, 0.1), 2.5, false);
    p.setPen(Outline(Darker(ribbon, 0.35), 1.5));
    p.setBrush(ribbon);
    p.drawRect(QRectF(88, 66, 24, 132));
    for (double side : {-1.0, 1.0}) {
        QPainterPath loop;
        loop.moveTo(100, 66);
        loop.cubicTo(100 + side * 20, 10, 100 + side * 78, 20, 100 + side * 56, 60);
        loop.cubicTo(100 + side * 46, 72, 100 + side * 18, 70, 100, 66);
        loop.closeSubpath();
        FillGlossy(p, loop, ribbon, 2, false);
    }
    QPainterPath knot;
    knot.addEllipse(QPointF(100, 62), 13, 11);
    FillGlossy(p, knot, ribbon, 2);
}

void Cake(QPainter& p) {
    const QColor sponge(246, 214, 170);
    const QColor icing(250, 150, 190);
    QPainterPath plate;
    plate.addEllipse(QRectF(14, 196, 192, 26));
    FillGlossy(p, plate, QColor(220, 224, 232), 2, false);
    QPainterPath lower;
    lower.addRoundedRect(QRectF(30, 140, 160, 68), 10, 10);
    QPainterPath upper;
    upper.addRoundedRect(QRectF(56, 92, 108, 56), 10, 10);
    FillGlossy(p, lower, sponge, 2, false);
    FillGlossy(p, upper, sponge, 2, false);
    for (const QRectF tier : {QRectF(30, 140, 160, 68), QRectF(56, 92, 108, 56)}) {
        QPainterPath drip;
        drip.moveTo(tier.left(), tier.top() + 10);
        drip.quadTo(tier.left(), tier.top(), tier.left() + 10, tier.top());
        drip.lineTo(tier.right() - 10, tier.top());
        drip.quadTo(tier.right(), tier.top(), tier.right(), tier.top() + 10);
        const int n = int(tier.width() / 22);
        const double step = tier.width() / n;
        for (int i = n; i > 0; --i) {
            const double x = tier.left() + step * i;
            drip.quadTo(x - step * 0.25, tier.top() + 30, x - step * 0.5, tier.top() + 20);
            drip.quadTo(x - step * 0.75, tier.top() + 12, x - step, tier.top() + 16);
        }
        drip.closeSubpath();
        FillGlossy(p, drip, icing, 2, false);
    }
    const QColor candles[] = {kSky, kGold, kGreen};
    for (int i = 0; i < 3; ++i) {
        const double x = 82 + i * 28;
        p.setPen(Outline(Darker(candles[i], 0.4), 1.5));
        p.setBrush(candles[i]);
        p.drawRoundedRect(QRectF(x - 5, 56, 10, 38), 3, 3);
        const QPainterPath flame = DropPath(QPointF(x, 24), 7, 30, 0);
        QRadialGradient g(QPointF(x, 46), 14);
        g.setColorAt(0, QColor(255, 250, 200));
        g.setColorAt(1, QColor(255, 150, 30));
        p.setPen(Outline(QColor(230, 110, 20), 1.2));
        p.setBrush(g);
        p.drawPath(flame);
    }
}

void PawPrint(QPainter& p) {
    const QColor c(120, 80, 60);
    QPainterPath paw;
    paw.moveTo(95, 110);
    paw.cubicTo(140, 110, 170, 160, 150, 180);
    paw.cubicTo(130, 198, 112, 176, 95, 178);
    paw.cubicTo(78, 176, 60, 198, 40, 180);
    paw.cubicTo(20, 160, 50, 110, 95, 110);
    paw.closeSubpath();
    const QPointF toes[] = {{34, 96}, {70, 52}, {120, 52}, {156, 96}};
    const double angles[] = {-30, -10, 10, 30};
    for (int i = 0; i < 4; ++i) {
        QPainterPath toe;
        toe.addEllipse(QPointF(0, 0), 21, 28);
        paw.addPath(QTransform().translate(toes[i].x(), toes[i].y()).rotate(angles[i]).map(toe));
    }
    DropShadow(p, paw, 3, 4, 50);
    FillGlossy(p, paw, c, 2);
}

void Crown(QPainter& p) {
    QPainterPath crown;
    crown.moveTo(28, 140);
    crown.lineTo(16, 40);
    crown.lineTo(66, 88);
    crown.lineTo(115, 24);
    crown.lineTo(164, 88);
    crown.lineTo(214, 40);
    crown.lineTo(202, 140);
    crown.closeSubpath();
    QPainterPath band;
    band.addRoundedRect(QRectF(24, 128, 182, 32), 6, 6);
    DropShadow(p, crown.united(band), 4, 5);
    FillGlossy(p, crown, kGold, 3);
    FillGlossy(p, band, Darker(kGold, 0.08), 3, false);
    const QColor gems[] = {kRed, QColor(60, 130, 230), QColor(60, 190, 110)};
    for (int i = 0; i < 3; ++i) {
        QPainterPath gem;
        gem.addEllipse(QPointF(70 + i * 45, 144), 9, 9);
        FillGlossy(p, gem, gems[i], 1.5);
    }
    for (QPointF tip : {QPointF(16, 40), QPointF(115, 24), QPointF(214, 40)}) {
        QPainterPath pearl;
        pearl.addEllipse(tip, 9, 9);
        FillGlossy(p, pearl, QColor(250, 246, 240), 1.5);
    }
}

// A note head at head with a stem of the given height going up from its right side.
QPainterPath NoteHead(QPointF head) {
    QPainterPath h;
    h.addEllipse(QPointF(0, 0), 27, 19);
    return QTransform().translate(head.x(), head.y()).rotate(-22).map(h);
}

void MusicNote(QPainter& p) {
    const QColor c(70, 50, 130);
    QPainterPath note = NoteHead(QPointF(52, 180));
    note.addRect(QRectF(70, 30, 9, 150));
    QPainterPath flag;
    flag.moveTo(70, 30);
    flag.cubicTo(90, 60, 140, 80, 118, 150);
    flag.cubicTo(124, 100, 100, 84, 79, 82);
    flag.closeSubpath();
    note.addPath(flag);
    note = note.simplified();
    DropShadow(p, note, 3, 4, 50);
    FillGlossy(p, note, c, 2);
}

void BeamedNotes(QPainter& p) {
    const QColor c(200, 60, 120);
    QPainterPath notes = NoteHead(QPointF(50, 172));
    notes.addPath(NoteHead(QPointF(156, 148)));
    notes.addRect(QRectF(68, 50, 9, 122));
    notes.addRect(QRectF(174, 26, 9, 122));
    QPainterPath beam;
    beam.moveTo(68, 50);
    beam.lineTo(183, 26);
    beam.lineTo(183, 52);
    beam.lineTo(68, 76);
    beam.closeSubpath();
    notes.addPath(beam);
    notes = notes.simplified();
    DropShadow(p, notes, 3, 4, 50);
    FillGlossy(p, notes, c, 2);
}

void Cloud(QPainter& p) {
    const QPainterPath cloud = CloudPath(QRectF(10, 6, 220, 140));
    DropShadow(p, cloud, 3, 5, 40);
    QLinearGradient g(0, 10, 0, 150);
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(1, QColor(200, 222, 245));
    p.setPen(Outline(QColor(120, 160, 210), 3));
    p.setBrush(g);
    p.drawPath(cloud);
}

void Rainbow(QPainter& p) {
    const QColor bands[] = {QColor(232, 60, 60), QColor(248, 150, 40), QColor(250, 220, 50),
                            QColor(90, 190, 80), QColor(70, 140, 230), QColor(140, 90, 200)};
    const QPointF c(130, 140);
    for (int i = 0; i < 6; ++i) {
        const double r = 112 - i * 13;
        p.setPen(QPen(bands[i], 13.5, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 0, 180 * 16);
    }
    for (double x : {28.0, 232.0}) {
        const QPainterPath cloud = CloudPath(QRectF(x - 34, 106, 68, 44));
        p.setPen(Outline(QColor(150, 180, 220), 2));
        p.setBrush(QColor(255, 255, 255));
        p.drawPath(cloud);
    }
}

void MoonAndStar(QPainter& p) {
    const QPainterPath moon = CrescentPath(QPointF(92, 110), 80, 42);
    DropShadow(p, moon, 3, 4, 50);
    FillGlossy(p, moon, QColor(250, 214, 80), 2.5);
    FillGlossy(p, StarPath(QPointF(156, 60), 30, 12, 5), kGold, 2);
    FillGlossy(p, StarPath(QPointF(168, 142), 16, 7, 5), kGold, 1.5, false);
}

void PartyHat(QPainter& p) {
    QPainterPath cone;
    cone.moveTo(90, 30);
    cone.lineTo(160, 200);
    cone.quadTo(90, 222, 20, 200);
    cone.closeSubpath();
    DropShadow(p, cone, 3, 4, 50);
    FillGlossy(p, cone, kPurple, 2.5, false);
    p.save();
    p.setClipPath(cone);
    p.setPen(QPen(kGold, 14));
    for (int i = 0; i < 6; ++i)
        p.drawLine(QPointF(-20, 90 + i * 34), QPointF(200, 40 + i * 34));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    for (int i = 0; i < 6; ++i)
        p.drawEllipse(QPointF(60 + (i % 3) * 30, 110 + (i / 3) * 50 + (i % 2) * 12), 4, 4);
    p.restore();
    p.setPen(Outline(Darker(kPurple, 0.45), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cone);
    QPainterPath pom = FlowerPath(QPointF(90, 26), 11, 8, 9);
    FillGlossy(p, pom, kPink, 1.5);
}

void ChristmasTree(QPainter& p) {
    const QColor green(40, 140, 70);
    p.setPen(Outline(QColor(90, 56, 30), 2));
    p.setBrush(QColor(130, 84, 44));
    p.drawRect(QRectF(82, 206, 26, 36));
    QPainterPath tree;
    const double tiers[][3] = {{40, 110, 48}, {84, 160, 70}, {128, 212, 90}};
    for (const auto& t : tiers) {
        QPainterPath tier;
        tier.moveTo(95, t[0]);
        tier.lineTo(95 + t[2], t[1]);
        tier.quadTo(95, t[1] + 14, 95 - t[2], t[1]);
        tier.closeSubpath();
        tree.addPath(tier);
    }
    tree = tree.simplified();
    DropShadow(p, tree, 3, 4, 50);
    FillGlossy(p, tree, green, 2.5, false);
    const QColor baubles[] = {kRed, kGold, kSky, kPink, kRed, kGold};
    const QPointF at[] = {{80, 98}, {112, 140}, {70, 150}, {130, 190}, {60, 200}, {96, 176}};
    for (int i = 0; i < 6; ++i) {
        QPainterPath b;
        b.addEllipse(at[i], 8, 8);
        FillGlossy(p, b, baubles[i], 1.5);
    }
    FillGlossy(p, StarPath(QPointF(95, 32), 26, 11, 5), kGold, 2);
}

void Cupcake(QPainter& p) {
    QPainterPath wrapper;
    wrapper.moveTo(30, 120);
    wrapper.lineTo(150, 120);
    wrapper.lineTo(134, 210);
    wrapper.lineTo(46, 210);
    wrapper.closeSubpath();
    FillGlossy(p, wrapper, QColor(90, 170, 230), 2.5, false);
    p.save();
    p.setClipPath(wrapper);
    p.setPen(QPen(Darker(QColor(90, 170, 230), 0.25), 2));
    for (int i = 0; i < 8; ++i)
        p.drawLine(QPointF(40 + i * 15, 120), QPointF(50 + i * 12, 210));
    p.restore();
    QPainterPath frosting;
    frosting.addEllipse(QRectF(20, 88, 140, 50));
    frosting.addEllipse(QRectF(36, 62, 108, 46));
    frosting.addEllipse(QRectF(56, 40, 68, 38));
    frosting = frosting.simplified();
    FillGlossy(p, frosting, QColor(252, 196, 218), 2.5);
    p.setPen(Qt::NoPen);
    const QColor sprinkles[] = {kSky, kGold, kGreen, kPurple, kRed};
    for (int i = 0; i < 10; ++i) {
        const QPointF at(44 + (i * 37) % 96, 78 + (i * 23) % 44);
        p.save();
        p.translate(at);
        p.rotate(i * 47.0);
        p.setBrush(sprinkles[i % 5]);
        p.drawRoundedRect(QRectF(-5, -1.8, 10, 3.6), 1.8, 1.8);
        p.restore();
    }
    QPainterPath cherry;
    cherry.addEllipse(QPointF(92, 34), 15, 15);
    p.setPen(Outline(QColor(70, 120, 40), 3));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(92, -4, 40, 44), 100 * 16, 80 * 16);
    FillGlossy(p, cherry, QColor(210, 20, 40), 2);
}

void Butterfly(QPainter& p) {
    const QColor upper(246, 130, 40);
    const QColor lower(236, 80, 130);
    for (double side : {-1.0, 1.0}) {
        const QTransform mirror(side, 0, 0, 1, 115 - side * 115, 0);
        QPainterPath top;
        top.moveTo(112, 92);
        top.cubicTo(90, 20, 20, 0, 14, 40);
        top.cubicTo(8, 80, 60, 104, 112, 98);
        top.closeSubpath();
        QPainterPath bottom;
        bottom.moveTo(112, 100);
        bottom.cubicTo(60, 104, 30, 150, 54, 170);
        bottom.cubicTo(80, 188, 108, 140, 112, 106);
        bottom.closeSubpath();
        FillGlossy(p, mirror.map(bottom), lower, 2.5, false);
        FillGlossy(p, mirror.map(top), upper, 2.5, false);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 200));
        p.drawEllipse(mirror.map(QPointF(52, 48)), 12, 12);
        p.drawEllipse(mirror.map(QPointF(72, 142)), 8, 8);
    }
    QPainterPath body;
    body.addRoundedRect(QRectF(108, 66, 14, 90), 7, 7);
    FillGlossy(p, body, QColor(70, 50, 60), 1.5);
    p.setPen(Outline(QColor(70, 50, 60), 2.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath antennae;
    antennae.moveTo(112, 70);
    antennae.quadTo(104, 40, 88, 26);
    antennae.moveTo(118, 70);
    antennae.quadTo(126, 40, 142, 26);
    p.drawPath(antennae);
    p.setBrush(QColor(70, 50, 60));
    p.drawEllipse(QPointF(88, 26), 4, 4);
    p.drawEllipse(QPointF(142, 26), 4, 4);
}

void Clover(QPainter& p) {
    const QColor c(60, 160, 80);
    QPainterPath stem;
    stem.moveTo(100, 110);
    stem.cubicTo(110, 150, 130, 170, 150, 192);
    p.setPen(Outline(Darker(c, 0.3), 8));
    p.drawPath(stem);
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(100, 100);
        p.rotate(45 + 90.0 * i);
        // A heart pointing at the centre.
        const QPainterPath leaf = QTransform().rotate(180).map(HeartPath(QRectF(-38, -84, 76, 80)));
        FillGlossy(p, leaf, c, 2.5);
        p.restore();
    }
}

void Bell(QPainter& p) {
    QPainterPath bell;
    bell.moveTo(95, 36);
    bell.cubicTo(140, 36, 150, 80, 152, 120);
    bell.cubicTo(154, 150, 172, 160, 176, 172);
    bell.lineTo(14, 172);
    bell.cubicTo(18, 160, 36, 150, 38, 120);
    bell.cubicTo(40, 80, 50, 36, 95, 36);
    bell.closeSubpath();
    QPainterPath clapper;
    clapper.addEllipse(QPointF(95, 182), 16, 14);
    FillGlossy(p, clapper, Darker(kGold, 0.2), 2);
    DropShadow(p, bell, 3, 4, 50);
    FillGlossy(p, bell, kGold, 3);
    const QColor ribbon(214, 40, 60);
    for (double side : {-1.0, 1.0}) {
        QPainterPath loop;
        loop.moveTo(95, 34);
        loop.cubicTo(95 + side * 30, -2, 95 + side * 70, 12, 95 + side * 52, 40);
        loop.cubicTo(95 + side * 40, 52, 95 + side * 16, 44, 95, 34);
        loop.closeSubpath();
        FillGlossy(p, loop, ribbon, 2, false);
    }
    QPainterPath knot;
    knot.addEllipse(QPointF(95, 34), 10, 9);
    FillGlossy(p, knot, ribbon, 2);
}

void CandyCane(QPainter& p) {
    QPainterPath line;
    line.moveTo(40, 230);
    line.lineTo(40, 70);
    line.arcTo(QRectF(40, 20, 72, 80), 180, -180);
    line.lineTo(112, 84);
    QPainterPathStroker stroker;
    stroker.setWidth(28);
    stroker.setCapStyle(Qt::RoundCap);
    const QPainterPath cane = stroker.createStroke(line).simplified();
    DropShadow(p, cane, 3, 4, 50);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(252, 252, 252));
    p.drawPath(cane);
    p.save();
    p.setClipPath(cane);
    p.setPen(QPen(QColor(220, 30, 50), 12));
    for (int i = -2; i < 14; ++i)
        p.drawLine(QPointF(0, i * 26), QPointF(130, i * 26 - 50));
    p.restore();
    QLinearGradient shine(26, 0, 54, 0);
    shine.setColorAt(0, QColor(0, 0, 0, 40));
    shine.setColorAt(0.45, QColor(255, 255, 255, 110));
    shine.setColorAt(1, QColor(0, 0, 0, 50));
    p.setPen(Outline(QColor(150, 30, 40), 2));
    p.setBrush(shine);
    p.drawPath(cane);
}

void Cat(QPainter& p) {
    const QColor fur(250, 170, 80);
    QPainterPath head;
    head.addEllipse(QRectF(24, 50, 172, 142));
    for (double side : {-1.0, 1.0}) {
        QPainterPath ear;
        ear.moveTo(110 + side * 30, 60);
        ear.lineTo(110 + side * 82, 14);
        ear.lineTo(110 + side * 84, 96);
        ear.closeSubpath();
        head.addPath(ear);
    }
    head = head.simplified();
    DropShadow(p, head, 3, 4, 50);
    FillGlossy(p, head, fur, 3, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 40, 40));
    p.drawEllipse(QPointF(78, 116), 10, 14);
    p.drawEllipse(QPointF(142, 116), 10, 14);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QPointF(81, 111), 3.5, 4.5);
    p.drawEllipse(QPointF(145, 111), 3.5, 4.5);
    p.setBrush(kPink);
    QPainterPath nose;
    nose.moveTo(102, 140);
    nose.lineTo(118, 140);
    nose.lineTo(110, 150);
    nose.closeSubpath();
    p.drawPath(nose);
    p.setPen(Outline(QColor(90, 60, 50), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(94, 142, 16, 16), 180 * 16, 180 * 16);
    p.drawArc(QRectF(110, 142, 16, 16), 180 * 16, 180 * 16);
    for (double side : {-1.0, 1.0}) {
        for (int i = 0; i < 3; ++i) {
            p.drawLine(QPointF(110 + side * 30, 148 + i * 6),
                       QPointF(110 + side * 84, 138 + i * 12));
        }
    }
}

struct Clipart {
    int w;
    int h;
    void (*paint)(QPainter&);
};

constexpr Clipart kCliparts[] = {
    {200, 190, Heart},         {240, 210, TwoHearts},  {210, 210, Star},
    {260, 160, ShootingStar},  {160, 264, RedBalloon}, {240, 276, BalloonBunch},
    {200, 200, Flower},        {200, 200, Daisy},      {160, 264, Tulip},
    {280, 140, Ribbon},        {240, 176, Bow},        {240, 196, SpeechBubble},
    {240, 200, ThoughtBubble}, {240, 140, Arrow},      {220, 200, CurvedArrow},
    {220, 220, Sun},           {200, 200, Snowflake},  {200, 200, Leaf},
    {200, 210, MapleLeaf},     {200, 208, GiftBox},    {220, 230, Cake},
    {190, 200, PawPrint},      {230, 170, Crown},      {150, 210, MusicNote},
    {210, 200, BeamedNotes},   {240, 156, Cloud},      {260, 156, Rainbow},
    {200, 200, MoonAndStar},   {180, 226, PartyHat},   {190, 246, ChristmasTree},
    {180, 216, Cupcake},       {230, 190, Butterfly},  {200, 200, Clover},
    {190, 200, Bell},          {140, 244, CandyCane},  {220, 200, Cat},
};

} // namespace

std::vector<QImage> DrawCliparts() {
    std::vector<QImage> out;
    for (const Clipart& c : kCliparts)
        out.push_back(Draw(c.w, c.h, c.paint));
    return out;
}

} // namespace mosaiq::libgen
