#pragma once

// "settings.ini" (an INI file through QSettings) read and written only when it is a file of ours
// to use: a regular file (a link to one is followed and stays a link) of at most
// kMaxSettingsBytes that holds no serialized values (this program writes only text and lists of
// text). A pipe would hang every reader, a device never ends, a folder cannot be written: such a
// settings file is neither read nor written, and every use says why.

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QSettings;

namespace mosaiq {

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
    // Error(), when the file is not usable or the entry holds more than maxItems items.
    std::optional<QStringList> List(const QString& key, int maxItems);
    // The text stored under key; empty when there is none or the file is not usable.
    QString Text(const QString& key);

    // Sets the values (and removes the keys in remove), then writes the file. False, with
    // Error(), when the file is not usable or could not be written; the file is then unchanged.
    bool Write(const std::vector<std::pair<QString, QVariant>>& values,
               const QStringList& remove = {});

private:
    QString m_path;
    QString m_error;
    std::unique_ptr<QSettings> m_settings;
};

} // namespace mosaiq
