#include "app/widgets/CEditorWindow.h"

#include "app/DataPath.h"
#include "app/FixedText.h"
#include "app/Notifier.h"
#include "app/UiText.h"
#include "canvas/CollageExport.h"
#include "canvas/ProjectFile.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "imaging/PictureDecoder.h"
#include "library/PictureList.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSpinBox>

#include <algorithm>
#include <iterator>

namespace mosaiq {
namespace {

constexpr int kNewPhotoOffset = 20; // window pixels from the visible top-left corner

QString Caption() {
    return QStringLiteral("Mosaiq Photo Editor");
}

// The pixel size of a picture file without decoding it when the reader can tell.
QSize MeasurePicture(const QString& path) {
    QSize size;
    return ReadPictureSize(path, &size) ? size : QSize();
}

} // namespace

CEditorWindow::CEditorWindow(QWidget* parent)
    : QMainWindow(parent), m_canvas(new CCollageCanvas(this)) {
    setWindowTitle(GetUiText(23).isEmpty() ? Caption() : GetUiText(23));
    setCentralWidget(m_canvas);
    BuildMenus();
    connect(m_canvas, &CCollageCanvas::historyChanged, this, &CEditorWindow::UpdateToolbarState);
    connect(m_canvas, &CCollageCanvas::selectionChanged, this, &CEditorWindow::UpdateToolbarState);
    connect(m_canvas, &CCollageCanvas::previewEndRequested, this, &CEditorWindow::LeavePreview);
    connect(m_canvas, &CCollageCanvas::contextMenuRequested, this,
            [this](const QPoint& at) { m_editMenu->popup(at); });
    UpdateToolbarState();
    m_canvas->setFocus();
}

QAction* CEditorWindow::AddAction(QMenu* menu, const QString& text, std::function<void()> run,
                                  const QKeySequence& shortcut) {
    QAction* action = menu->addAction(text);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [run = std::move(run)] { run(); });
    return action;
}

void CEditorWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    AddAction(
        file, tr("New..."), [this] { NewCollage(); }, QKeySequence::New);
    AddAction(
        file, tr("Open Project..."), [this] { OpenProject(); }, QKeySequence::Open);
    AddAction(
        file, tr("Save Project As..."), [this] { SaveProjectAs(); }, QKeySequence::SaveAs);
    AddAction(
        file, tr("Save Collage..."), [this] { SaveCollage(); }, QKeySequence::Save);
    file->addSeparator();
    AddAction(
        file, tr("Exit"), [this] { close(); }, QKeySequence::Quit);

    m_editMenu = menuBar()->addMenu(tr("&Edit"));
    AddAction(m_editMenu, tr("Add Photo..."), [this] { AddPhoto(); });
    AddAction(m_editMenu, tr("Add Text..."), [this] { AddText(); });
    m_paint =
        AddAction(m_editMenu, tr("Paint Brush"), [this] { SetPainting(m_paint->isChecked()); });
    m_paint->setCheckable(true);
    AddAction(m_editMenu, tr("Brush Colour..."), [this] { ChooseBrushColour(); });
    m_editMenu->addSeparator();
    m_undo = AddAction(
        m_editMenu, tr("Undo (Ctrl+Z)"), [this] { m_canvas->Undo(); },
        QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = AddAction(
        m_editMenu, tr("Redo (Ctrl+Y)"), [this] { m_canvas->Redo(); },
        QKeySequence(Qt::CTRL | Qt::Key_Y));
    m_editMenu->addSeparator();
    // The canvas handles the Delete key itself (also while another control has no use for it).
    AddAction(m_editMenu, tr("Delete"), [this] { m_canvas->DeleteSelection(); });
    m_editMenu->addSeparator();
    AddAction(m_editMenu, tr("Move to Front"), [this] { m_canvas->MoveUp(); });
    AddAction(m_editMenu, tr("Move to Back"), [this] { m_canvas->MoveDown(); });
    AddAction(m_editMenu, tr("Move to Front of all Layers"), [this] { m_canvas->MoveToTop(); });
    AddAction(m_editMenu, tr("Move to Back of all Layers"), [this] { m_canvas->MoveToBottom(); });

    QMenu* view = menuBar()->addMenu(tr("&View"));
    AddAction(
        view, tr("Zoom In"), [this] { ZoomIn(); }, QKeySequence::ZoomIn);
    AddAction(
        view, tr("Zoom Out"), [this] { ZoomOut(); }, QKeySequence::ZoomOut);
    AddAction(
        view, tr("Preview"), [this] { EnterPreview(); }, QKeySequence(Qt::Key_F5));
}

void CEditorWindow::UpdateToolbarState() {
    const CollageDocument& doc = m_canvas->Document();
    m_undo->setEnabled(doc.CanUndo());
    m_redo->setEnabled(doc.CanRedo());
}

bool CEditorWindow::ConfirmDiscard() {
    if (!m_canvas->Document().modified)
        return true;
    const auto answer = QMessageBox::question(
        this, Caption(), tr("Project has been modified, Do you want to save it?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::Yes) {
        SaveProjectAs();
        return !m_canvas->Document().modified;
    }
    return true;
}

void CEditorWindow::NewCollage() {
    if (!ConfirmDiscard())
        return;
    CollageDocument& doc = m_canvas->Document();
    QDialog dialog(this);
    dialog.setWindowTitle(tr("New Collage"));
    auto* form = new QFormLayout(&dialog);
    auto* width = new QSpinBox(&dialog);
    auto* height = new QSpinBox(&dialog);
    for (QSpinBox* box : {width, height})
        box->setRange(4, 16000);
    width->setValue(doc.width);
    height->setValue(doc.height);
    form->addRow(tr("Width"), width);
    form->addRow(tr("Height"), height);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return;
    doc.Clear();
    doc.backgroundPath.clear();
    doc.backgroundColour = MakeColorref(255, 255, 255);
    doc.backgroundMode = BackgroundMode::Center;
    doc.SetCanvasSize(width->value(), height->value());
    doc.ReloadBackground();
    doc.modified = false;
    ApplyZoomStep(m_zoomIndex);
    UpdateToolbarState();
}

void CEditorWindow::OpenProject() {
    if (!ConfirmDiscard())
        return;
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Open Project"), QString(), tr("Project (*.dcf)"));
    if (!path.isEmpty())
        OpenProjectFile(path);
}

bool CEditorWindow::OpenProjectFile(const QString& path) {
    const ProjectResult result = LoadProject(m_canvas->Document(), path);
    if (!result.ok) {
        Warn(result.error);
        return false;
    }
    ApplyZoomStep(m_zoomIndex);
    UpdateToolbarState();
    return true;
}

void CEditorWindow::SaveProjectAs() {
    QString path = QFileDialog::getSaveFileName(this, tr("Save Project As"),
                                                QStringLiteral("*.dcf"), tr("Project (*.dcf)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().compare(QStringLiteral("dcf"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".dcf");
    const ProjectResult result = SaveProject(m_canvas->Document(), path);
    if (!result.ok)
        Warn(result.error);
}

void CEditorWindow::SaveCollage() {
    static const char* const kExtensions[] = {"jpg", "jpeg", "bmp", "gif", "png",
                                              "pcx", "pnm",  "tif", "tiff"};
    QStringList filters;
    for (const char* ext : kExtensions)
        filters << QStringLiteral("(*.%1) (*.%1)").arg(QLatin1String(ext));
    QString chosen;
    QString path = QFileDialog::getSaveFileName(this, tr("Save Collage"), QStringLiteral("*.jpg"),
                                                filters.join(QStringLiteral(";;")), &chosen);
    if (path.isEmpty())
        return;
    // A name typed without an extension takes the one of the chosen filter.
    if (QFileInfo(path).suffix().isEmpty()) {
        const int index = std::max<qsizetype>(0, filters.indexOf(chosen));
        path += QLatin1Char('.') + QLatin1String(kExtensions[index]);
    }
    const ExportResult result = ExportCollage(m_canvas->Document(), path);
    if (!result.ok)
        Warn(result.error);
}

void CEditorWindow::AddPhoto() {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Add Photo"), QString(),
                                     tr("Pictures (*.jpg *.jpeg *.png *.bmp *.gif *.tif *.tiff "
                                        "*.pcx *.pnm *.tga);;All files (*)"));
    if (path.isEmpty())
        return;
    const QSize size = MeasurePicture(path);
    if (size.isEmpty()) {
        Warn(tr("The picture could not be read:\n%1").arg(path));
        return;
    }
    SetPainting(false);
    m_canvas->Document().AddPhoto(path, size.width(), size.height(), kNewPhotoOffset,
                                  kNewPhotoOffset);
}

void CEditorWindow::AddText() {
    CollageDocument& doc = m_canvas->Document();
    bool ok = false;
    const QString text = QInputDialog::getText(this, tr("Add Text"), tr("Text"), QLineEdit::Normal,
                                               ReadFixedText(doc.textTemplate.text), &ok);
    if (!ok || text.isEmpty())
        return;
    if (!WriteFixedText(doc.textTemplate.text, text)) {
        Inform(tr("The text is too long."));
        return;
    }
    if (ReadFixedText(doc.textTemplate.font.lfFaceName).isEmpty())
        WriteFixedText(doc.textTemplate.font.lfFaceName, QStringLiteral("Arial"));
    if (doc.textTemplate.font.lfHeight == 0)
        doc.textTemplate.font.lfHeight = 64;
    SetPainting(false);
    doc.AddText();
}

void CEditorWindow::SetPainting(bool on) {
    CollageDocument& doc = m_canvas->Document();
    if (on && doc.brushPictures.empty())
        doc.brushPictures = ReadPictureList(DataFile(QStringLiteral("brushs")));
    if (on && doc.brushPictures.empty()) {
        Inform(tr("The brushes could not be read."));
        on = false;
    }
    m_canvas->SetPaintMode(on);
    m_paint->setChecked(on);
}

void CEditorWindow::ChooseBrushColour() {
    CollageDocument& doc = m_canvas->Document();
    const QColor current = ColorFromColorref(doc.brush.colour);
    const QColor chosen = QColorDialog::getColor(current, this, tr("Brush Colour"));
    if (chosen.isValid())
        doc.brush.colour = ColorrefFromColor(chosen);
}

void CEditorWindow::ApplyZoomStep(int index) {
    m_zoomIndex = index;
    m_canvas->SetZoom(kZoomSteps[index]);
}

void CEditorWindow::ZoomIn() {
    if (m_zoomIndex + 1 < int(std::size(kZoomSteps)))
        ApplyZoomStep(m_zoomIndex + 1);
}

void CEditorWindow::ZoomOut() {
    if (m_zoomIndex > 0)
        ApplyZoomStep(m_zoomIndex - 1);
}

void CEditorWindow::EnterPreview() {
    if (m_canvas->PreviewMode())
        return;
    menuBar()->hide();
    m_canvas->SetPreviewMode(true);
    // The whole collage fits the window, by its height when the window is relatively wider.
    const CollageDocument& doc = m_canvas->Document();
    const QSize client = size();
    const bool wider =
        float(client.width()) / float(client.height()) >= float(doc.width) / float(doc.height);
    m_canvas->SetZoom(wider ? float(client.height()) / float(doc.height)
                            : float(client.width()) / float(doc.width));
    m_canvas->setFocus();
}

void CEditorWindow::LeavePreview() {
    if (!m_canvas->PreviewMode())
        return;
    m_canvas->SetPreviewMode(false);
    menuBar()->show();
    ApplyZoomStep(m_zoomIndex);
}

void CEditorWindow::closeEvent(QCloseEvent* event) {
    if (ConfirmDiscard())
        event->accept();
    else
        event->ignore();
}

} // namespace mosaiq
