#pragma once

// A button drawn from four state bitmaps (normal, hover, pressed, disabled), optionally as left
// cap, middle and right cap, with an optional caption and 16 × 16 icon. A click issues its command
// id to the owner through commandIssued. It takes the keyboard focus by Tab (never by a click, so
// the canvas keeps its keys), shows the skin's focus mark and is pressed by Space or Enter.

#include <QIcon>
#include <QString>
#include <QWidget>

namespace mosaiq {

class CBitmapButton : public QWidget {
    Q_OBJECT
public:
    // Look values, as the owner-drawn controls number them.
    enum State { kPressed = 1, kDisabled = 4, kHover = 16, kNormal = 32 };

    // A button with the default bitmaps 206, 205, 204, 206.
    explicit CBitmapButton(int commandId, QWidget* parent = nullptr);

    void SetBitmaps(int normal, int hover, int pressed, int disabled);
    void SetThreePart(bool threePart);
    void SetCaption(const QString& caption);
    void SetTextColour(const QColor& colour);
    void SetTextOffset(QPoint offset);
    void SetIcons(const QIcon& icon, const QIcon& disabledIcon);
    // Draws the icon at the left edge with the caption after it (a radio-style button), instead
    // of both centred.
    void SetIconAtLeft(bool atLeft);
    void Enable(bool enabled);
    // What the button is to assistive technology: a push button (the default), a check box, a
    // radio button or a page tab; the last three carry a checked state set by the owner.
    enum class AccessRole { PushButton, CheckBox, RadioButton, PageTab };
    void SetAccessRole(AccessRole role) { m_accessRole = role; }
    AccessRole GetAccessRole() const { return m_accessRole; }
    void SetChecked(bool checked);
    bool IsChecked() const { return m_checked; }
    // Presses the button as a click does: issues the command unless it is disabled.
    void Click();

    int CommandId() const { return m_commandId; }
    int State() const { return m_state; }
    QString Caption() const { return m_caption; }
    // The bitmap id the current state draws.
    int CurrentBitmap() const;

signals:
    void commandIssued(int commandId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetState(int state);

    int m_commandId;
    int m_bitmaps[4] = {206, 205, 204, 206}; // normal, hover, pressed, disabled
    int m_state = kNormal;
    bool m_threePart = false;
    QString m_caption;
    QColor m_textColour{60, 60, 60};
    QPoint m_textOffset;
    QIcon m_icon;
    QIcon m_disabledIcon;
    bool m_iconAtLeft = false;
    AccessRole m_accessRole = AccessRole::PushButton;
    bool m_checked = false;
};

} // namespace mosaiq
