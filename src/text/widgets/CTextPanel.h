#pragma once

// The text panel: the transparency slider, the font list, the two colour pickers, the style list,
// the multi-line entry field and "Add". It keeps a text template (a whole TextRecord) and reports
// every change: templateChanged after a style, font, colour or transparency choice, textEdited
// after every edit of the entry field (Enter starts a new line), addRequested for "Add".
//
// The entry field keeps at most 1000 characters (and what a text record holds); text beyond is
// cut off in the field itself and the panel says so under it, so the cut is never silent.

#include "text/TextRecord.h"

#include <QWidget>

class QPlainTextEdit;

namespace mosaiq {

class CBitmapButton;
class CBitmapSlider;
class CTextStyleList;
class CVexColourPicker;
class CVexComboBox;

class CTextPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kAddId = 10014;
    static constexpr int kSliderId = 10563;

    explicit CTextPanel(QWidget* parent = nullptr);

    const TextTemplate& Template() const { return m_template; }
    // The entry field's text (already cut to the limit).
    QString EntryText() const;
    // Shows a template (a selected text object's settings and text) without reporting anything.
    void ShowTemplate(const TextTemplate& t);
    // Puts text into the entry field (without reporting), selects nothing and puts the caret at
    // the end; focus gives the field the keyboard focus.
    void SetEntryText(const QString& text, bool focus);
    void FocusEntry();
    // True while the last edit had to be cut to the limit.
    bool CutNoticeShown() const { return m_cutNotice; }

    QPlainTextEdit* Entry() const { return m_entry; }
    CVexComboBox* FontList() const { return m_fonts; }
    CTextStyleList* StyleList() const { return m_styles; }
    CVexColourPicker* FirstColourPicker() const { return m_first; }
    CVexColourPicker* SecondColourPicker() const { return m_second; }
    CBitmapSlider* TransparencySlider() const { return m_slider; }
    CBitmapButton* AddButton() const { return m_add; }

    // Reactions to the controls, reachable for the owner and for tests.
    void ChooseStyle(int row);
    void ChooseFont(int index);
    void ChooseFirstColour(Colorref colour);
    void ChooseSecondColour(Colorref colour);
    void ChooseTransparency(int position);

    // The box of a left-column label (0 Transparency, 1 Font, 2 1st Color, 3 2nd Color): as tall
    // as the font's real height, centred on its control, and above "Add".
    QRect LabelRect(int row) const;

signals:
    void templateChanged();
    void textEdited(const QString& text);
    void addRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The vertical centre of row's control, panel pixels.
    int RowCentre(int row) const;
    void FillFontList();
    void LayoutControls();
    void OnEntryChanged();
    void SelectFace(const QString& face);
    QRect SliderRect() const;

    TextTemplate m_template;
    int m_sliderTop = 0;  // the left column's top: the slider's
    int m_rowPitch = 25;  // from one colour row to the next
    CBitmapSlider* m_slider = nullptr;
    CVexComboBox* m_fonts = nullptr;
    CVexColourPicker* m_first = nullptr;
    CVexColourPicker* m_second = nullptr;
    CTextStyleList* m_styles = nullptr;
    QPlainTextEdit* m_entry = nullptr;
    CBitmapButton* m_add = nullptr;
    bool m_filling = false;
    bool m_cutNotice = false;
};

} // namespace mosaiq
