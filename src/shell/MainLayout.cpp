#include "shell/MainLayout.h"

namespace mosaiq {

MainLayout ComputeMainLayout(QSize client) {
    const int w = client.width();
    const int h = client.height();
    MainLayout l;
    l.canvas = EdgeRect(159, 208, w - 137, h - 4);
    l.photoBrowser = EdgeRect(4, 61, 158, h - 4);
    l.panelArea = EdgeRect(159, 58, w - 4, 181);
    int left = 187;
    for (QRect& tab : l.tabs) {
        tab = EdgeRect(left, 34, left + 102, 56);
        left += 102 + 5;
    }
    // Toolbar: 24 pixels from one button to the next, 30 after Save Collage, Preview and Redo.
    left = 165;
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        l.toolbar[size_t(i)] = EdgeRect(left, 184, left + 22, 205);
        left += (i == 3 || i == 5 || i == 7 || i == 13) ? 30 : 24;
    }
    l.zoomIn = EdgeRect(w - 249, 184, w - 227, 205);
    l.zoomOut = l.zoomIn.translated(24, 0);
    l.zoomBox = EdgeRect(w - 200, 184, w - 145, 204);
    l.presetPanel = EdgeRect(w - 136, 182, w - 4, h - 225);
    l.addToCanvas = EdgeRect(w - 131, h - 220, w - 9, h - 200);
    l.listPane = EdgeRect(w - 136, h - 195, w - 4, h - 105);
    l.swatchPanel = EdgeRect(w - 136, h - 104, w - 4, h - 4);
    l.close = EdgeRect(w - 43, 8, w - 19, 22);
    l.maximise = l.close.translated(-26, 0);
    l.minimise = l.maximise.translated(-26, 0);
    l.importButton = EdgeRect(4, 34, 79, 57);
    l.removeButton = l.importButton.translated(77, 0);
    // File, panels, Edit, then Tools between Edit and Help.
    l.menuButtons = {EdgeRect(20, 6, 60, 26), EdgeRect(60, 6, 130, 26), EdgeRect(130, 6, 170, 26),
                     EdgeRect(170, 6, 215, 26), EdgeRect(255, 6, 295, 26)};
    return l;
}

float PreviewFitZoom(QSize client, QSize collage) {
    if (client.isEmpty() || collage.isEmpty())
        return 1.0f;
    const float cw = float(client.width());
    const float ch = float(client.height());
    if (cw / ch >= float(collage.width()) / float(collage.height()))
        return ch / float(collage.height());
    return cw / float(collage.width());
}

FrameZone HitFrameZone(QPoint p, QSize client) {
    const int x = p.x();
    const int y = p.y();
    const int w = client.width();
    const int h = client.height();
    const bool nearLeft = x < 8;
    const bool nearRight = x > w - 8;
    const bool nearTop = y < 8;
    const bool nearBottom = y > h - 8;
    if ((nearLeft || nearRight) && (nearTop || nearBottom)) {
        if (nearTop)
            return nearLeft ? FrameZone::TopLeft : FrameZone::TopRight;
        return nearLeft ? FrameZone::BottomLeft : FrameZone::BottomRight;
    }
    if (x < 5 && y > 8 && y < h - 8)
        return FrameZone::Left;
    if (x > w - 5 && y > 8 && y < h - 8)
        return FrameZone::Right;
    if (y < 5 && x > 8 && x < w - 8)
        return FrameZone::Top;
    if (y > h - 8 && x > 8 && x < w - 8)
        return FrameZone::Bottom;
    // The caption strip: 13 pixels inside the side edges, from the frame height to 30.
    if (x >= 13 && x < w - 13 && y >= 4 && y < 30)
        return FrameZone::Caption;
    return FrameZone::None;
}

ToolbarState ComputeToolbarState(int sel, int n, bool selectedIsPhoto, int historyPos,
                                 int historyLast) {
    ToolbarState s;
    s.undo = historyPos >= 0;
    s.redo = historyPos < historyLast;
    s.del = sel >= 0;
    s.crop = sel >= 0 && selectedIsPhoto;
    s.moveUp = sel >= 0 && sel < n - 1;
    s.moveDown = sel > 0;
    return s;
}

} // namespace mosaiq
