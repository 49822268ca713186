// Photo effects, the month calendar and the desktop wallpaper.
//
// An effect runs on the selected photo's own picture on a worker thread (the wait cursor shows and
// a window-modal progress box offers Cancel after a short moment); its result is a new picture in
// the data directory's "Effects/" folder that the photo then points to, as one undo step.
#include "canvas/document/CollageDocument.h"
#include "canvas/output/CollageExport.h"
#include "canvas/project/EffectPictures.h"
#include "canvas/document/PastedPlacement.h"
#include "canvas/edits/PhotoEffectJob.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "canvas/widgets/calendar/CCalendarDialog.h"
#include "core/data/DataPath.h"
#include "core/text/FixedText.h"
#include "core/Notifier.h"
#include "platform/WallpaperSetter.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandGroup.h"
#include "shell/widgets/CommandGroups.h"
#include "shell/widgets/CommandIds.h"

#include <QApplication>
#include <QPointer>
#include <QProgressDialog>

#include <memory>
#include <optional>
#include <thread>

namespace mosaiq {
namespace {

std::optional<PhotoEffect> EffectOfCommand(int id) {
    switch (id) {
    case cmd::kEffectErode:
        return PhotoEffect::Erode;
    case cmd::kEffectDilate:
        return PhotoEffect::Dilate;
    case cmd::kEffectNoise:
        return PhotoEffect::Noise;
    case cmd::kEffectJitter:
        return PhotoEffect::Jitter;
    case cmd::kEffectMedian:
        return PhotoEffect::Median;
    case cmd::kEffectContour:
        return PhotoEffect::Contour;
    case cmd::kEffectEmboss:
        return PhotoEffect::Emboss;
    case cmd::kEffectEdge:
        return PhotoEffect::Edge;
    case cmd::kEffectSharpen:
        return PhotoEffect::Sharpen;
    case cmd::kEffectBlur:
        return PhotoEffect::Blur;
    case cmd::kEffectSoften:
        return PhotoEffect::Soften;
    case cmd::kEffectMean:
        return PhotoEffect::Mean;
    case cmd::kEffectSmooth:
        return PhotoEffect::Smooth;
    default:
        return std::nullopt;
    }
}

class EffectsCommands : public CommandGroup {
public:
    explicit EffectsCommands(CMainDialog& window) : CommandGroup(window) {}
    ~EffectsCommands() override { StopEffect(); }

    bool Handles(int id) const override {
        return EffectOfCommand(id) || id == cmd::kCalendar || id == cmd::kWallpaperCentre ||
               id == cmd::kWallpaperTile || id == cmd::kWallpaperStretch ||
               id == cmd::kRestoreWallpaper;
    }

    // One effect at a time: the effect commands rest while one runs.
    bool IsEnabled(int id) const override { return !(EffectOfCommand(id) && m_job); }

    void Run(int id) override {
        if (const std::optional<PhotoEffect> effect = EffectOfCommand(id))
            StartEffect(*effect);
        else if (id == cmd::kCalendar)
            AddCalendar();
        else if (id == cmd::kWallpaperCentre)
            SetWallpaper(WallpaperArrangement::Centred);
        else if (id == cmd::kWallpaperTile)
            SetWallpaper(WallpaperArrangement::Tiled);
        else if (id == cmd::kWallpaperStretch)
            SetWallpaper(WallpaperArrangement::Stretched);
        else if (id == cmd::kRestoreWallpaper)
            RestoreWallpaper();
    }

    void OnClose() override {
        StopEffect();
        // Effect pictures of this run that were undone or replaced, and that no saved project
        // uses, would otherwise stay in "Effects/" for good.
        RemoveUnusedEffectPictures(Document());
    }

private:
    CollageDocument& Document() const { return Window().Canvas().Document(); }

    void StartEffect(PhotoEffect effect) {
        if (m_job)
            return;
        CollageDocument& doc = Document();
        const int index = doc.FirstSelectedIndex();
        const PhotoRecord* photo = index >= 0 ? doc.objects[size_t(index)].Photo() : nullptr;
        if (!photo) {
            Inform(QStringLiteral("Please select a photo on the canvas."));
            return;
        }
        m_photoIndex = index;
        m_photoPath = ReadFixedText(photo->path);
        m_job = std::make_shared<PhotoEffectJob>(m_photoPath, effect, EffectsFolder(),
                                                 doc.objects[size_t(index)].upright);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_progress = new QProgressDialog(QObject::tr("Applying the photo effect..."),
                                         QObject::tr("Cancel"), 0, 0, &Window());
        m_progress->setWindowModality(Qt::WindowModal);
        m_progress->setMinimumDuration(400);
        std::shared_ptr<PhotoEffectJob> job = m_job;
        QObject::connect(m_progress, &QProgressDialog::canceled, this, [job] { job->Cancel(); });
        Window().UpdateToolbarState();
        m_worker = std::thread([this, job] {
            EffectFileResult result = job->Run();
            QMetaObject::invokeMethod(
                this, [this, result] { FinishEffect(result); }, Qt::QueuedConnection);
        });
    }

    // On the UI thread once the worker has its result.
    void FinishEffect(const EffectFileResult& result) {
        if (m_worker.joinable())
            m_worker.join();
        m_job.reset();
        if (m_progress) {
            m_progress->reset();
            m_progress->deleteLater();
        }
        QApplication::restoreOverrideCursor();
        Window().UpdateToolbarState();
        if (result.cancelled)
            return;
        if (!result.ok) {
            Warn(result.error);
            return;
        }
        // The photo must still be the one the effect ran on (the window stayed usable).
        CollageDocument& doc = Document();
        const PhotoRecord* photo = m_photoIndex < int(doc.objects.size())
                                       ? doc.objects[size_t(m_photoIndex)].Photo()
                                       : nullptr;
        if (!photo || ReadFixedText(photo->path) != m_photoPath) {
            Inform(QStringLiteral(
                "The photo was changed while the effect ran; the effect was not applied."));
            return;
        }
        if (!SetPhotoPicture(doc, m_photoIndex, result.path))
            Warn(QStringLiteral("The effect's picture path is too long for the photo: %1")
                     .arg(result.path));
        Window().UpdateToolbarState();
    }

    // Stops a running effect and waits for its worker (closing, or the group going away).
    void StopEffect() {
        if (!m_job)
            return;
        m_job->Cancel();
        if (m_worker.joinable())
            m_worker.join();
        m_job.reset();
        QApplication::restoreOverrideCursor();
    }

    void AddCalendar() {
        CCalendarDialog dialog(&Window());
        if (dialog.exec() != QDialog::Accepted || dialog.Picture().isNull())
            return;
        CCollageCanvas& canvas = Window().Canvas();
        CollageDocument& doc = canvas.Document();
        const QPoint centre =
            VisibleCanvasCentre(doc.view, canvas.size(), QSize(doc.width, doc.height));
        if (AddPastedPictureCentred(doc, dialog.Picture(), centre))
            Window().UpdateToolbarState();
    }

    void SetWallpaper(WallpaperArrangement arrangement) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // The earlier wallpaper is recorded before the picture is written or anything changes.
        WallpaperSetter setter(CurrentDesktop(), DataFile(QStringLiteral("settings.ini")));
        WallpaperResult result = setter.RecordEarlier();
        const QString file = WallpaperFilePath();
        if (result.ok) {
            const ExportResult written = ExportCollage(Document(), file);
            result = {written.ok, written.error};
        }
        if (result.ok)
            result = setter.Set(file, arrangement);
        QApplication::restoreOverrideCursor();
        if (!result.ok)
            Warn(QStringLiteral("The wallpaper was not set: %1").arg(result.error));
    }

    void RestoreWallpaper() {
        const WallpaperResult result =
            WallpaperSetter(CurrentDesktop(), DataFile(QStringLiteral("settings.ini"))).Restore();
        if (!result.ok)
            Warn(QStringLiteral("The wallpaper was not restored: %1").arg(result.error));
    }

    std::shared_ptr<PhotoEffectJob> m_job;
    std::thread m_worker;
    QPointer<QProgressDialog> m_progress;
    int m_photoIndex = -1;
    QString m_photoPath;
};

} // namespace

std::unique_ptr<CommandGroup> MakeEffectsCommands(CMainDialog& window) {
    return std::make_unique<EffectsCommands>(window);
}

} // namespace mosaiq
