#include "batch/widgets/CBatchConvertDialog.h"

#include "batch/BatchConverter.h"
#include "core/Notifier.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CQorListBox.h"
#include "ui/widgets/CScrolledListBox.h"
#include "ui/widgets/DialogProvider.h"
#include "ui/widgets/SkinPainting.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

#include <algorithm>

namespace mosaiq {
namespace {

// Client rectangles of the dialog's parts, as (left, top)-(right, bottom).
QRect Box(int l, int t, int r, int b) {
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}
const QRect kFileListRect = Box(20, 50, 405, 310);
const QRect kFormatListRect = Box(410, 50, 540, 310);
const QRect kAddRect = Box(20, 320, 140, 340);
const QRect kConvertRect = Box(145, 320, 265, 340);
const QRect kBrowseRect = Box(470, 320, 540, 340);
const QRect kPathBox = Box(310, 320, 470, 340);
const QRect kProgressRect = Box(20, 345, 540, 355);
const QRect kStatusRect = Box(20, 358, 540, 376);
constexpr int kProgressWidth = 520;
// The summary names at most this many skipped files; the rest are counted.
constexpr int kSummaryNames = 15;

QString WithSlash(QString dir) {
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

// A sunken 3-D rectangle: dark edges top and left, light ones bottom and right.
void Draw3dRect(QPainter& p, const QRect& r, const QColor& colour) {
    p.setPen(colour.darker(140));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(colour.lighter(115));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

CBitmapButton* MakeButton(int id, const QString& caption, const QRect& rect, QWidget* parent) {
    auto* button = new CBitmapButton(id, parent);
    button->SetBitmaps(206, 205, 204, 206);
    button->SetCaption(caption);
    button->setGeometry(rect);
    return button;
}

} // namespace

CBatchConvertDialog::CBatchConvertDialog(QWidget* parent)
    : CSkinDialog(parent),
      m_addButton(MakeButton(kAddFilesId, tr("Add Picture File"), kAddRect, this)),
      m_convertButton(MakeButton(kConvertId, tr("Convert"), kConvertRect, this)),
      m_browseButton(MakeButton(kBrowseId, tr("Browse..."), kBrowseRect, this)),
      m_fileList(new CScrolledListBox(this)), m_formatList(new CScrolledListBox(this)) {
    setWindowTitle(tr("Batch Convert"));
    setFixedSize(560, 386);
    m_fileList->setGeometry(kFileListRect.adjusted(1, 1, -1, -1));
    m_formatList->setGeometry(kFormatListRect.adjusted(1, 1, -1, -1));
    m_fileList->List()->setAccessibleName(tr("Picture files"));
    m_formatList->List()->setAccessibleName(tr("Output format"));
    QStringList formats;
    for (const BatchFormat& f : BatchFormats())
        formats << QLatin1String(f.text);
    m_formatList->List()->SetItems(formats);
    m_formatList->List()->SetCurrentRow(0);
    m_formatList->UpdateBars();
    connect(m_addButton, &CBitmapButton::commandIssued, this, [this] { AddPictureFiles(); });
    // Convert and Stop share the button: its caption says which it is.
    connect(m_convertButton, &CBitmapButton::commandIssued, this, [this] {
        if (m_busy)
            StopConversion();
        else
            StartConversion();
    });
    CQorListBox* files = m_fileList->List();
    files->installEventFilter(this);
    files->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(files, &QWidget::customContextMenuRequested, this, [this, files](const QPoint& at) {
        const int row = files->RowAt(at);
        if (row >= 0)
            files->SetCurrentRow(row);
        std::unique_ptr<QMenu> menu(CreateFileListMenu(row));
        menu->exec(files->mapToGlobal(at));
    });
    connect(m_browseButton, &CBitmapButton::commandIssued, this,
            [this] { BrowseOutputDirectory(); });
    // Both levels of the default folder are made now, so Browse starts inside it.
    m_outputDir = DefaultBatchOutputDir();
    QDir().mkpath(m_outputDir);
    m_lastFolder = QDir::homePath();
}

CBatchConvertDialog::~CBatchConvertDialog() {
    if (m_converter)
        m_converter->RequestStop();
    JoinWorker();
}

void CBatchConvertDialog::JoinWorker() {
    if (m_worker.joinable())
        m_worker.join();
}

QString CBatchConvertDialog::PictureFilter() {
    static const char* const kExtensions[] = {"jpg", "jpeg", "heic", "heif", "hif", "avif",
                                              "webp", "gif", "bmp",  "png",  "pnm", "tga",
                                              "tif", "tiff", "pcx",  "wmf",  "emf"};
    QStringList all;
    QStringList single;
    for (const char* e : kExtensions) {
        all << QStringLiteral("*.%1").arg(QLatin1String(e));
        single << QStringLiteral("(*.%1)").arg(QLatin1String(e));
    }
    return QStringLiteral("(all picture files) (%1);;").arg(all.join(QLatin1Char(' '))) +
           single.join(QStringLiteral(";;"));
}

void CBatchConvertDialog::AddPictureFiles() {
    const QStringList paths =
        Dialogs().OpenFileNames(this, tr("Add Picture File"), m_lastFolder, PictureFilter());
    if (paths.isEmpty())
        return;
    m_lastFolder = QFileInfo(paths.front()).absolutePath();
    AddFiles(paths);
}

void CBatchConvertDialog::AddFiles(const QStringList& paths) {
    QStringList added;
    for (const QString& path : paths)
        added << QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    m_files << added;
    // Files added during a run join it; after its last file they wait for the next run.
    if (m_busy && !m_stopping && m_converter && m_converter->AddFiles(added)) {
        m_runTotal += int(added.size());
        m_status = tr("%1 of %2 files done").arg(m_done).arg(m_runTotal);
    }
    ShowFiles(m_fileList->List()->CurrentRow());
}

void CBatchConvertDialog::ShowFiles(int current) {
    CQorListBox* list = m_fileList->List();
    list->SetItems(m_files);
    list->SetCurrentRow(std::min(current, int(m_files.size()) - 1));
    m_fileList->UpdateBars();
    update();
}

void CBatchConvertDialog::RemoveFile(int row) {
    if (m_busy || row < 0 || row >= m_files.size())
        return;
    m_files.removeAt(row);
    ShowFiles(row);
}

void CBatchConvertDialog::ClearFiles() {
    if (m_busy)
        return;
    m_files.clear();
    ShowFiles(-1);
}

QMenu* CBatchConvertDialog::CreateFileListMenu(int row) {
    auto* menu = new QMenu(this);
    QAction* remove = menu->addAction(tr("Remove"), this, [this, row] { RemoveFile(row); });
    remove->setEnabled(!m_busy && row >= 0 && row < m_files.size());
    QAction* clear = menu->addAction(tr("Clear"), this, [this] { ClearFiles(); });
    clear->setEnabled(!m_busy && !m_files.isEmpty());
    return menu;
}

bool CBatchConvertDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fileList->List() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RemoveFile(m_fileList->List()->CurrentRow());
        return true;
    }
    return CSkinDialog::eventFilter(watched, event);
}

void CBatchConvertDialog::BrowseOutputDirectory() {
    const QString dir =
        Dialogs().ExistingDirectory(this, tr("Select Output Directory"), m_outputDir);
    if (!dir.isEmpty())
        SetOutputDirectory(dir);
}

void CBatchConvertDialog::SetOutputDirectory(const QString& dir) {
    m_outputDir = WithSlash(dir);
    update();
}

int CBatchConvertDialog::FormatIndex() const {
    return m_formatList->List()->CurrentRow();
}

void CBatchConvertDialog::SetFormatIndex(int index) {
    m_formatList->List()->SetCurrentRow(index);
}

int CBatchConvertDialog::ProgressWidth() const {
    return m_runTotal > 0 ? m_done * kProgressWidth / m_runTotal : 0;
}

void CBatchConvertDialog::StartConversion() {
    if (m_busy || FormatIndex() < 0 || m_files.isEmpty())
        return;
    JoinWorker();
    BatchSettings settings;
    settings.files = m_files;
    settings.format = FormatIndex();
    settings.outputDir = m_outputDir;
    m_converter = std::make_unique<BatchConverter>(settings);
    m_busy = true;
    m_closeWhenStopped = false;
    m_stopping = false;
    m_done = 0;
    m_runTotal = int(m_files.size());
    m_skipped.clear();
    m_renamed.clear();
    m_convertButton->SetCaption(tr("Stop"));
    m_status = tr("Converting %1 files...").arg(m_runTotal);
    update();
    BatchConverter* converter = m_converter.get();
    m_worker = std::thread([this, converter] {
        const BatchSummary summary = converter->Run([this](const BatchFileResult& result) {
            QMetaObject::invokeMethod(
                this, [this, result] { OnFileDone(result); }, Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            this, [this, summary] { OnRunEnded(summary); }, Qt::QueuedConnection);
    });
}

void CBatchConvertDialog::OnFileDone(const BatchFileResult& result) {
    // Skipped files count too, so the bar reaches its end.
    ++m_done;
    if (!result.converted)
        m_skipped << QStringLiteral("%1: %2").arg(QFileInfo(result.input).fileName(),
                                                  result.reason);
    else if (result.renamed)
        m_renamed << QStringLiteral("%1 \u2192 %2")
                         .arg(QFileInfo(result.input).fileName(),
                              QFileInfo(result.output).fileName());
    m_status = tr("%1 of %2 files done").arg(m_done).arg(m_runTotal);
    if (!m_skipped.isEmpty())
        m_status += tr(", %1 skipped").arg(m_skipped.size());
    update(kProgressRect.united(kStatusRect));
}

void CBatchConvertDialog::StopConversion() {
    if (!m_busy || m_stopping)
        return;
    m_stopping = true;
    m_status = tr("Stopping...");
    update();
    if (m_converter)
        m_converter->RequestStop();
}

void CBatchConvertDialog::OnRunEnded(const BatchSummary& summary) {
    JoinWorker();
    m_busy = false;
    m_stopping = false;
    m_convertButton->SetCaption(tr("Convert"));
    if (m_closeWhenStopped) {
        emit runFinished();
        done(QDialog::Rejected);
        return;
    }
    if (!summary.error.isEmpty()) {
        m_status = tr("Nothing converted: %1").arg(summary.error);
        update();
        emit runFinished();
        Warn(tr("Nothing was converted: %1.").arg(summary.error));
        return;
    }
    m_status = tr("Converted %1 of %2 files").arg(summary.converted).arg(m_runTotal);
    if (summary.skipped > 0)
        m_status += tr(", skipped %1").arg(summary.skipped);
    if (summary.stopped)
        m_status += tr(", stopped");
    update();
    emit runFinished();
    Inform(SummaryText(summary));
}

QString CBatchConvertDialog::SummaryText(const BatchSummary& summary) const {
    QString text = tr("Converted %1 of %2 files into %3.")
                       .arg(summary.converted)
                       .arg(m_runTotal)
                       .arg(QDir::toNativeSeparators(m_outputDir));
    if (summary.stopped)
        text +=
            QLatin1Char(' ') +
            tr("Stopped: %1 files were not converted.").arg(summary.notStarted + summary.skipped);
    const auto list = [&text](const QString& title, const QStringList& names) {
        if (names.isEmpty())
            return;
        text += QLatin1String("\n\n") + title + QLatin1Char('\n') +
                names.mid(0, kSummaryNames).join(QLatin1Char('\n'));
        if (names.size() > kSummaryNames)
            text += QLatin1Char('\n') + tr("and %1 more").arg(names.size() - kSummaryNames);
    };
    list(tr("Skipped:"), m_skipped);
    list(tr("Written under another name (an earlier file of this run has the name):"), m_renamed);
    return text;
}

void CBatchConvertDialog::reject() {
    if (!m_busy) {
        CSkinDialog::reject();
        return;
    }
    if (m_closeWhenStopped)
        return; // already stopping
    Question question;
    question.text = tr("Are you sure to stop converting?");
    question.caption = tr("Confirm");
    if (Dialogs().AskQuestion(this, question) != Answer::Yes)
        return;
    // The run stops before its next file; OnRunEnded then closes the dialog.
    m_closeWhenStopped = true;
    m_stopping = false;
    StopConversion();
}

void CBatchConvertDialog::paintEvent(QPaintEvent* event) {
    CSkinDialog::paintEvent(event);
    QPainter p(this);
    p.setFont(DefaultGuiFont());
    p.setPen(Qt::black);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    p.drawText(Box(20, 35, 200, 50), flags, tr("Picture Files"));
    p.drawText(Box(410, 35, 540, 50), flags, tr("Output Format"));
    p.drawText(Box(280, 323, 310, 340), flags, tr("Path"));
    // Frames around the two lists.
    p.setPen(QColor(160, 160, 160));
    p.drawRect(kFileListRect);
    p.drawRect(kFormatListRect);
    // The output directory box.
    p.fillRect(kPathBox, QColor(230, 230, 230));
    p.setPen(Qt::black);
    const QRect textRect = kPathBox.adjusted(2, 2, -2, -2);
    p.drawText(textRect, flags,
               p.fontMetrics().elidedText(QDir::toNativeSeparators(m_outputDir), Qt::ElideMiddle,
                                          textRect.width()));
    Draw3dRect(p, kPathBox, QColor(200, 200, 200));
    // The progress bar.
    Draw3dRect(p, kProgressRect, QColor(200, 200, 200));
    if (ProgressWidth() > 0)
        p.fillRect(QRect(kProgressRect.left(), kProgressRect.top(), ProgressWidth(), 10),
                   QColor(200, 200, 200));
    p.setPen(QColor(60, 60, 60));
    p.drawText(kStatusRect, flags, m_status);
}

} // namespace mosaiq
