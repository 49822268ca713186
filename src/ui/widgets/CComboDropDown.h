#pragma once

// The drop-down window of CVexComboBox: a popup on the desktop holding a scrolled list. Keys go
// to the combo box; a click on a row chooses it; a click elsewhere closes it without a choice.

#include <QStringList>
#include <QWidget>

namespace mosaiq {

class CVexComboBox;
class CScrolledListBox;
class CQorListBox;

class CComboDropDown : public QWidget {
    Q_OBJECT
public:
    explicit CComboDropDown(CVexComboBox* owner);

    // Shows the rows from `top` on, with `current` marked (-1: none).
    void SetRows(const QStringList& rows, int current, int top);
    CQorListBox* List() const;

signals:
    void rowChosen(int row);
    // Hidden by something other than the combo box (a click outside, the application deactivated).
    void dismissed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CVexComboBox* m_owner;
    CScrolledListBox* m_list;
};

} // namespace mosaiq
