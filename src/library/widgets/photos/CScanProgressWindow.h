#pragma once

// The window shown while photos are imported: no caption, the path of the photo just handled
// (cut to fit), and a "Stop" button. A press anywhere moves the window; Enter and Escape do
// nothing, so a stray key cannot end the import.

#include <QWidget>

namespace mosaiq {

class CBitmapButton;

class CScanProgressWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStopId = 10603;

    explicit CScanProgressWindow(QWidget* parent = nullptr);

    // Shows path (and repaints).
    void SetPath(const QString& path);
    // Shows "done of total" before the path; total 0 shows no count.
    void SetCount(int done, int total);
    // The count as drawn ("7 of 20"); empty without one.
    QString CountText() const;
    QString Path() const { return m_path; }
    // The path as drawn: cut to the characters that fit the text box.
    QString ShownText() const;
    // The box the path is drawn in, client pixels.
    QRect TextBox() const;
    CBitmapButton* StopButton() const { return m_stop; }
    // Shows the window centred on the screen of its parent.
    void ShowCentred();

Q_SIGNALS:
    void stopRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CBitmapButton* m_stop = nullptr;
    QString m_path;
    int m_done = 0;
    int m_total = 0;
    // Moving by hand when the window manager cannot do it.
    bool m_moving = false;
    QPoint m_pressOffset;
};

} // namespace mosaiq
