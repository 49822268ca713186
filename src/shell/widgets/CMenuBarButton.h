#pragma once

// A menu-bar button of the main window: 20 pixels high, bitmap 261 behind its caption; while the
// mouse is over it or it is pressed, a light box with a black border instead. Releasing the mouse
// button over it issues its command (which drops its menu down). It is reached by Tab, shows the
// skin's focus mark, and Space, Enter or Down drop its menu as a click does.

#include <QWidget>

namespace mosaiq {

class CMenuBarButton : public QWidget {
    Q_OBJECT
public:
    CMenuBarButton(int commandId, const QString& caption, QWidget* parent = nullptr);

    int CommandId() const { return m_commandId; }
    QString Caption() const { return m_caption; }
    bool Highlighted() const { return m_hover || m_pressed; }
    // Issues the command as a click does.
    void Click() { Q_EMIT commandIssued(m_commandId); }

Q_SIGNALS:
    void commandIssued(int commandId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int m_commandId;
    QString m_caption;
    bool m_hover = false;
    bool m_pressed = false;
};

} // namespace mosaiq
