#include "library/photos/PhotoImportRun.h"

#include "imaging/subject/SubjectQueue.h"

#include <cstring>

namespace mosaiq {

PhotoImportRun::PhotoImportRun(PhotoList& list, QObject* parent) : QObject(parent), m_list(list) {
    qRegisterMetaType<mosaiq::AddPhotoResult>("mosaiq::AddPhotoResult");
    qRegisterMetaType<mosaiq::PhotoImportSummary>("mosaiq::PhotoImportSummary");
    connect(&m_importer, &PhotoImporter::photoPrepared, this, &PhotoImportRun::OnPrepared);
    connect(&m_importer, &PhotoImporter::fileMissing, this, &PhotoImportRun::OnMissing);
    connect(&m_importer, &PhotoImporter::finished, this, &PhotoImportRun::OnFinished);
}

bool PhotoImportRun::Start(const QStringList& paths, int threads) {
    if (m_importer.IsRunning() || paths.isEmpty())
        return false;
    m_summary = PhotoImportSummary();
    m_paths = paths;
    m_added.clear();
    m_done = 0;
    return m_importer.Start(paths, threads);
}

void PhotoImportRun::RequestStop() {
    m_importer.RequestStop();
}

int PhotoImportRun::IndexOfVisiblePath(const PictureFileEntry& entry) const {
    const auto& records = m_list.Records();
    for (size_t i = 0; i < records.size(); ++i)
        if (!records[i].hidden && std::memcmp(records[i].path, entry.path, sizeof entry.path) == 0)
            return int(i);
    return -1;
}

void PhotoImportRun::OnPrepared(const PreparedPhoto& photo) {
    ++m_done;
    const QString path = m_paths.value(m_done - 1);
    const AddPhotoResult result = m_list.AddImportedPhoto(photo);
    int index = -1;
    switch (result) {
    case AddPhotoResult::Added:
        ++m_summary.added;
        m_added << path;
        index = m_list.Count() - 1;
        break;
    case AddPhotoResult::Duplicate:
        m_summary.duplicates << path;
        index = IndexOfVisiblePath(photo.entry);
        break;
    case AddPhotoResult::TooSmall:
        m_summary.tooSmall.emplace_back(path, photo.reason);
        break;
    case AddPhotoResult::Unreadable:
        m_summary.unreadable.emplace_back(
            path, photo.reason.isEmpty() ? QStringLiteral("not a readable picture") : photo.reason);
        break;
    }
    Q_EMIT fileHandled(path, result, index, m_done, Total());
}

void PhotoImportRun::OnMissing(const QString& path) {
    ++m_done;
    m_summary.missing << path;
    Q_EMIT fileMissing(path, m_done, Total());
}

void PhotoImportRun::OnFinished(bool stopped) {
    m_summary.stopped = stopped;
    m_summary.notReached = Total() - m_done;
    // Subjects are found after the import, on idle workers, so the import keeps its pace.
    if (m_findSubjects && !m_added.isEmpty())
        SubjectQueue::Instance().Add(m_added);
    m_added.clear();
    Q_EMIT finished(m_summary);
}

} // namespace mosaiq
