#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

namespace mosaiq::test {

// A data directory of the test's own: MOSAIQ_DATA_DIR points at a fresh temporary directory for
// the lifetime of this object, and the previous value comes back afterwards.
class ScopedDataDir {
public:
    ScopedDataDir();
    ~ScopedDataDir();
    ScopedDataDir(const ScopedDataDir&) = delete;
    ScopedDataDir& operator=(const ScopedDataDir&) = delete;

    // The directory, ending in '/'.
    QString Path() const;
    QString File(const QString& name) const { return Path() + name; }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
};

QByteArray ReadAll(const QString& path);
bool WriteAll(const QString& path, const QByteArray& data);

// A character device that reads zeros forever, made as a node at path inside the test's own
// scratch folder (never a link to a system device). Empty when nodes cannot be made here.
QString MakeZeroDevice(const QString& path);

// Saves an image a test found wrong next to the test binaries, so a person can look at it;
// returns the path written.
QString SaveFailureImage(const QImage& image, const QString& name);

} // namespace mosaiq::test
