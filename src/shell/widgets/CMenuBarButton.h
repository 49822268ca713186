#pragma once

// A menu-bar button of the main window: 20 pixels high, bitmap 261 behind its caption; while the
// mouse is over it or it is pressed, a light box with a black border instead. Releasing the mouse
// button over it issues its command (which drops its menu down).

#include <QWidget>

namespace mosaiq {

class CMenuBarButton : public QWidget {
    Q_OBJECT
public:
    CMenuBarButton(int commandId, const QString& caption, QWidget* parent = nullptr);

    int CommandId() const { return m_commandId; }
    QString Caption() const { return m_caption; }
    bool Highlighted() const { return m_hover || m_pressed; }

Q_SIGNALS:
    void commandIssued(int commandId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_commandId;
    QString m_caption;
    bool m_hover = false;
    bool m_pressed = false;
};

} // namespace mosaiq
