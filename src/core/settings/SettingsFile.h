#pragma once

// "settings.ini" (an INI file through QSettings) read and written only when it is a file of ours
// to use: a regular file (a link to one is followed and stays a link) of at most
// kMaxSettingsBytes. A pipe would hang every reader, a device never ends, a folder cannot be
// written: such a settings file is neither read nor written, and every use says why. Lines that
// cannot be read (a section header without its "]", a serialized value, which this program never
// writes and which could claim any amount of memory) are left out of what is read and kept as
// they are when the file is written; only an entry held by such a line reads as damaged.

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QSettings;
class QTemporaryFile;

namespace mosaiq {

struct SettingsDamagedLine;

inline constexpr qint64 kMaxSettingsBytes = qint64(1) << 20;

class SettingsFile {
public:
    // Checks the file at path (a missing file is an empty one); nothing is written yet.
    explicit SettingsFile(const QString& path);
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    // False, with Error(), when the file may not be used.
    bool Usable() const { return m_settings != nullptr; }
    // One line naming the file and the problem.
    const QString& Error() const { return m_error; }

    // The list of text stored under key ("Group/name"); empty when there is none. Nullopt, with
    // Error(), when the file is not usable, the entry's line is damaged or the entry holds more
    // than maxItems items.
    std::optional<QStringList> List(const QString& key, int maxItems);
    // The text stored under key; empty when there is none or the file is not usable.
    QString Text(const QString& key);

    // Sets the values (and removes the keys in remove), then writes the file. False, with
    // Error(), when the file is not usable or could not be written; the file is then unchanged.
    bool Write(const std::vector<std::pair<QString, QVariant>>& values,
               const QStringList& remove = {});

private:
    bool Damaged(const QString& key) const;

    QString m_path;
    QString m_target; // m_path, or the file its link leads to
    QString m_error;
    std::vector<SettingsDamagedLine> m_damaged;
    std::unique_ptr<QTemporaryFile> m_readable; // the readable lines, when any are damaged
    std::unique_ptr<QSettings> m_settings;
};

} // namespace mosaiq
