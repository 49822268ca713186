#pragma once

// The window's status line for assistive technology: never drawn (the window's layout has no
// status area), its accessible name is the last thing that happened ("Photo beach.jpg added",
// "Nothing selected", "Import finished: 3 photos added", "Collage written to x.png"), and each new
// text is announced by an accessibility event, so a screen reader speaks it.

#include <QString>
#include <QWidget>

namespace mosaiq {

class CCollageCanvas;

class CStatusLine : public QWidget {
    Q_OBJECT
public:
    explicit CStatusLine(QWidget* parent);

    void Show(const QString& text);
    QString Text() const { return m_text; }

    // Follows the canvas: what a change of the selection or of the objects leaves.
    void Follow(CCollageCanvas& canvas);

protected:
    void paintEvent(QPaintEvent*) override {}

private:
    void OnHistory(CCollageCanvas& canvas);
    void OnSelection(CCollageCanvas& canvas);

    QString m_text;
    int m_objects = 0;
};

// Shows text on the status line of the window that holds w (nothing when it has none).
void AnnounceStatus(QWidget* w, const QString& text);

} // namespace mosaiq
