#pragma once

// A dialog with the program's own frame: no system caption, rounded 16 × 16 corners, border
// pieces from the skin, the title drawn embossed, a close button (id 10010) that cancels, and
// moved by dragging its top 25 pixels.

#include <QDialog>

namespace mosaiq {

class CBitmapButton;

class CSkinDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCloseId = 10010;
    static constexpr int kDragBand = 25;

    explicit CSkinDialog(QWidget* parent = nullptr);

    CBitmapButton* CloseButton() const { return m_close; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CBitmapButton* m_close;
    bool m_moving = false;
    QPoint m_pressGlobal;
    QPoint m_pressWindowPos;
};

} // namespace mosaiq
