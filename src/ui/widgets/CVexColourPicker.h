#pragma once

// A push button that shows its current colour on the skin face and, when pressed, drops down the
// colour popup. It edits the text colour in track mode 1 and the background colour otherwise.
// Colours are Colorref values; kAutomaticColour stands for "automatic".

#include "core/WinTypes.h"

#include <QPointer>
#include <QWidget>

namespace mosaiq {

class CColourPopup;

class CVexColourPicker : public QWidget {
    Q_OBJECT
public:
    explicit CVexColourPicker(QWidget* parent = nullptr);

    void SetColour(Colorref colour);
    Colorref Colour() const;
    void SetBackgroundColour(Colorref colour);
    void SetTextColour(Colorref colour);
    Colorref BackgroundColour() const { return m_background; }
    Colorref TextColour() const { return m_text; }
    // An empty text removes its box from the popup.
    void SetDefaultText(const QString& text) { m_defaultText = text; }
    void SetCustomText(const QString& text) { m_customText = text; }
    QString CustomText() const { return m_customText; }
    void SetTrackMode(int mode) { m_trackMode = mode; }
    void SetTrackSelection(bool on) { m_trackSelection = on; }
    bool IsPopupActive() const;
    // The open popup, or nullptr.
    CColourPopup* Popup() const;
    void OpenPopup();

    QSize minimumSizeHint() const override;

signals:
    void selectionChanged(Colorref colour);
    void dropDown();
    void closeUp();
    void selectionEnded(Colorref colour);
    void selectionCancelled(Colorref colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnEnded(Colorref colour);
    void OnCancelled(Colorref colour);

    Colorref m_background;
    Colorref m_text;
    int m_trackMode = 2;
    bool m_trackSelection = false;
    bool m_pressed = false;
    Colorref m_beforePopup = 0;
    QString m_defaultText = QStringLiteral("Automatic");
    QString m_customText = QStringLiteral("More Colours...");
    QPointer<CColourPopup> m_popup;
};

} // namespace mosaiq
