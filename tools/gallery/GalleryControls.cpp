#include "Gallery.h"

#include "ui/NamedColours.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/widgets/CColourPalette.h"
#include "ui/widgets/CColourPopup.h"
#include "ui/widgets/CComboDropDown.h"
#include "ui/widgets/CQorListBox.h"
#include "ui/widgets/CScrolledListBox.h"
#include "ui/widgets/CSkinDialog.h"
#include "ui/widgets/CVexColourPicker.h"
#include "ui/widgets/CVexComboBox.h"
#include "ui/widgets/CVexScrollBar.h"
#include "ui/widgets/Skin.h"
#include "ui/widgets/SkinPainting.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace mosaiq::gallery {

namespace {

// A fixed-size area where children are placed by coordinates, as the program's panels place them.
class Board : public QWidget {
public:
    Board(int w, int h) { setFixedSize(w, h); }
};

QLabel* Heading(const QString& text) {
    auto* label = new QLabel(text);
    QFont font = DefaultGuiFont();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// Puts a control into a look by the input that causes it.
void Hover(QWidget* w) {
    const QPointF centre(w->width() / 2.0, w->height() / 2.0);
    QEnterEvent enter(centre, w->mapToGlobal(centre), w->mapToGlobal(centre));
    QApplication::sendEvent(w, &enter);
}
void Press(QWidget* w, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

CBitmapButton* Button(QWidget* parent, QRect r, const QString& caption, std::array<int, 4> bitmaps,
                      bool threePart) {
    auto* b = new CBitmapButton(0, parent);
    b->setGeometry(r);
    b->SetBitmaps(bitmaps[0], bitmaps[1], bitmaps[2], bitmaps[3]);
    b->SetThreePart(threePart);
    b->SetCaption(caption);
    return b;
}

QWidget* ButtonsBoard() {
    auto* board = new Board(470, 142);
    const std::array<int, 4> sets[] = {
        {206, 205, 204, 206}, {195, 194, 193, 195}, {255, 254, 256, 255}};
    const char* states[] = {"normal", "hover", "pressed", "disabled"};
    for (int s = 0; s < 3; ++s) {
        for (int state = 0; state < 4; ++state) {
            auto* b = Button(board, QRect(4 + state * 116, 4 + s * 26, 108, 20),
                             QLatin1String(states[state]), sets[s], true);
            if (state == 1)
                Hover(b);
            else if (state == 2)
                Press(b, QPoint(5, 5));
            else if (state == 3)
                b->Enable(false);
        }
    }
    // Toolbar buttons with icons, caption buttons and tabs.
    const int icons[][2] = {{425, 0}, {194, 0}, {205, 290}, {206, 291}, {196, 245}, {239, 422}};
    for (int i = 0; i < 6; ++i) {
        auto* b =
            Button(board, QRect(4 + i * 27, 84, 25, 22), QString(), {129, 197, 196, 223}, false);
        b->SetIcons(SkinIcon(icons[i][0]), icons[i][1] ? SkinIcon(icons[i][1]) : QIcon());
        if (i == 1)
            Hover(b);
        if (i == 3)
            Press(b, QPoint(5, 5));
        if (i >= 4)
            b->Enable(false);
    }
    auto* strip = new QLabel(board); // the caption colour behind the caption buttons
    strip->setGeometry(170, 84, 80, 22);
    strip->setStyleSheet(QStringLiteral("background: rgb(136,146,160)"));
    const int caption[][4] = {{136, 217, 218, 136}, {137, 219, 220, 137}, {138, 221, 222, 138}};
    for (int i = 0; i < 3; ++i) {
        auto* b = Button(board, QRect(178 + i * 24, 86, 18, 17), QString(),
                         {caption[i][0], caption[i][1], caption[i][2], caption[i][3]}, false);
        if (i == 0)
            Hover(b);
    }
    const char* tabs[] = {"Frame", "Mask"};
    for (int i = 0; i < 2; ++i) {
        auto* tab =
            Button(board, QRect(260 + i * 70, 84, 68, 22), QLatin1String(tabs[i]),
                   {i == 0 ? 192 : 141, i == 0 ? 192 : 141, i == 0 ? 192 : 141, 141}, false);
        tab->SetTextColour(QColor(220, 220, 220));
    }
    auto* radioOn =
        Button(board, QRect(4, 114, 60, 20), QStringLiteral("4:3"), {206, 205, 204, 206}, true);
    radioOn->SetIcons(SkinIcon(209), QIcon());
    radioOn->SetTextOffset(QPoint(18, 0));
    auto* radioOff =
        Button(board, QRect(70, 114, 60, 20), QStringLiteral("16:9"), {206, 205, 204, 206}, true);
    radioOff->SetIcons(SkinIcon(208), QIcon());
    radioOff->SetTextOffset(QPoint(18, 0));
    auto* browse = Button(board, QRect(140, 114, 20, 20), QString(), {348, 348, 348, 348}, false);
    (void)browse;
    return board;
}

QWidget* SlidersAndBars() {
    auto* board = new Board(470, 120);
    const int positions[] = {0, 100, 300};
    for (int i = 0; i < 3; ++i) {
        auto* s = new CBitmapSlider(10003 + i, board);
        s->setGeometry(4, 6 + i * 20, 180, 13);
        s->SetRange(0, 300);
        s->SetPosition(positions[i]);
        if (i == 1)
            Press(s, s->ThumbRect().center());
    }
    const int ranges[][2] = {{0, 0}, {200, 50}, {5000, 2500}};
    for (int i = 0; i < 3; ++i) {
        auto* v = new CVScrollBar(board);
        v->setGeometry(200 + i * 24, 4, 17, 110);
        v->SetStep(10);
        v->SetRange(ranges[i][0]);
        v->SetPosition(ranges[i][1]);
        if (i == 2)
            Press(v, v->ThumbRect().center()); // the pressed look while dragging
    }
    auto* h = new CHScrollBar(board);
    h->setGeometry(4, 70, 180, 17);
    h->SetStep(10);
    h->SetRange(300);
    h->SetPosition(100);
    auto* list = new CScrolledListBox(board);
    list->setGeometry(280, 4, 180, 110);
    QStringList items;
    for (int i = 0; i < 12; ++i)
        items << QStringLiteral("Picture %1 with a rather long name.jpg").arg(i + 1);
    list->List()->SetItems(items);
    list->UpdateBars();
    list->List()->SetCurrentRow(2);
    return board;
}

QWidget* CombosAndColours() {
    auto* board = new Board(470, 250);
    auto* zoom = new CVexComboBox(CVexComboBox::Style::DropDownList, board);
    zoom->setGeometry(4, 4, 70, 20);
    for (const char* z : {"25%", "50%", "75%", "100%", "125%", "150%", "175%", "200%"})
        zoom->AddString(QLatin1String(z));
    zoom->SetCurSel(3);
    auto* edit = new CVexComboBox(CVexComboBox::Style::DropDown, board);
    edit->setGeometry(84, 4, 150, 20);
    for (const char* f : {"Arial", "Courier New", "Tahoma", "Times New Roman", "Verdana"})
        edit->AddString(QLatin1String(f));
    edit->SetCurSel(3);
    auto* disabled = new CVexComboBox(CVexComboBox::Style::DropDownList, board);
    disabled->setGeometry(244, 4, 90, 20);
    disabled->AddString(QStringLiteral("Disabled"));
    disabled->SetCurSel(0);
    disabled->setEnabled(false);

    // The drop-down list as it opens under the zoom box, drawn beside the combo boxes.
    zoom->ShowDropDown(true);
    if (auto* drop = zoom->findChild<CComboDropDown*>()) {
        auto* dropPicture = new QLabel(board);
        dropPicture->setPixmap(drop->grab());
        dropPicture->move(350, 4);
        dropPicture->adjustSize();
    }
    zoom->ShowDropDown(false);

    auto* picker = new CVexColourPicker(board);
    picker->setGeometry(4, 34, 90, 20);
    picker->SetColour(MakeColorref(255, 104, 32));
    auto* pickerOff = new CVexColourPicker(board);
    pickerOff->setGeometry(100, 34, 90, 20);
    pickerOff->SetColour(MakeColorref(0, 147, 0));
    pickerOff->setEnabled(false);

    // The popup as it opens for a table colour, drawn into the board.
    auto* popup = new CColourPopup(picker, QPoint(0, 0), 0, MakeColorref(0, 0, 255),
                                   QStringLiteral("Automatic"), QStringLiteral("More Colours..."));
    QMouseEvent move(QEvent::MouseMove, popup->Layout().Cell(26).center(),
                     popup->Layout().Cell(26).center(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(popup, &move);
    auto* popupPicture = new QLabel(board);
    popupPicture->setPixmap(popup->grab());
    popupPicture->move(4, 62);
    popupPicture->adjustSize();
    popup->deleteLater();

    auto* palette = new CColourPalette(board);
    palette->setGeometry(200, 62, 133, 101);
    palette->SetColour(MakeColorref(51, 153, 204));
    return board;
}

QWidget* DialogPicture() {
    CSkinDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Add Transparent Month Calendar"));
    dialog.resize(300, 150);
    auto* ok = new CBitmapButton(1, &dialog);
    ok->SetThreePart(true);
    ok->SetCaption(QStringLiteral("OK"));
    ok->setGeometry(200, 110, 76, 20);
    // The window is clipped to its rounded outline; the picture shows it the same way.
    const QPixmap frame = dialog.grab();
    QPixmap clipped(frame.size());
    clipped.setDevicePixelRatio(frame.devicePixelRatio());
    clipped.fill(Qt::transparent);
    QPainter painter(&clipped);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0, 0, dialog.width(), dialog.height()), 8, 8);
    painter.setClipPath(outline);
    painter.drawPixmap(0, 0, frame);
    painter.end();
    auto* label = new QLabel;
    label->setPixmap(clipped);
    return label;
}

} // namespace

QWidget* MakeControlsPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(4);
    layout->addWidget(Heading(QStringLiteral("Bitmap buttons: normal, hover, pressed, disabled")));
    layout->addWidget(ButtonsBoard());
    layout->addWidget(Heading(QStringLiteral("Sliders, scroll bars, scrolled list box")));
    layout->addWidget(SlidersAndBars());
    layout->addWidget(Heading(QStringLiteral("Combo boxes, colour picker, popup, palette")));
    layout->addWidget(CombosAndColours());
    layout->addWidget(Heading(QStringLiteral("Skinned dialog frame")));
    layout->addWidget(DialogPicture());
    return page;
}

} // namespace mosaiq::gallery
