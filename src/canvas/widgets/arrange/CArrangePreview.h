#pragma once

// One live preview of the Arrange dialog: the canvas shrunk to the widget, its background colour
// and the photos in the cells a layout gives them, drawn from the pictures the canvas already
// shows (a grey box for a photo not drawn yet). A click chooses the preview's family.

#include "canvas/layout/PhotoLayout.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <vector>

namespace mosaiq {

class CArrangePreview : public QWidget {
    Q_OBJECT
public:
    CArrangePreview(LayoutFamily family, const QString& caption, QWidget* parent = nullptr);

    LayoutFamily Family() const { return m_family; }
    // The canvas size and colour, the pictures (one per arranged photo; null for none) and the
    // layout's cells in canvas pixels (empty when the layout failed).
    void SetContent(QSize canvas, QColor background, const std::vector<QImage>* pictures,
                    const LayoutResult& layout, bool fill);
    void SetChosen(bool chosen);
    bool Chosen() const { return m_chosen; }

signals:
    void chosen(LayoutFamily family);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    LayoutFamily m_family;
    QString m_caption;
    QSize m_canvas;
    QColor m_background;
    const std::vector<QImage>* m_pictures = nullptr;
    LayoutResult m_layout;
    bool m_fill = false;
    bool m_chosen = false;
};

} // namespace mosaiq
