#include "core/settings/SettingsFile.h"

#include "core/files/AtomicFile.h"
#include "core/files/RegularFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryFile>

#include <algorithm>

namespace mosaiq {
namespace {

// A value QSettings would decode from its binary form ("@Variant(...)", "@DateTime(...)" and the
// like, at the start of a value or of a list item); "@@" is an escaped "@" of plain text.
bool HoldsSerializedValue(const QByteArray& text) {
    static const QRegularExpression serialized(
        QStringLiteral("(^|=|,)\\s*\"?@(?!@)(Variant|DateTime|ByteArray)\\("),
        QRegularExpression::MultilineOption);
    return serialized.match(QString::fromLatin1(text)).hasMatch();
}

// The name QSettings gives a key of section ("General" is the top level).
QString SectionKey(const QString& section, const QString& key) {
    return section.isEmpty() || section == QLatin1String("General")
               ? key
               : section + QLatin1Char('/') + key;
}

} // namespace

// A line of a settings file this reader cannot read: a section header without its closing
// bracket, or a value in a serialized form this program never writes (decoding one could claim any
// amount of memory). Such lines are left out of what is read and written back as they were.
struct SettingsDamagedLine {
    QByteArray header; // the section header the line stood under; empty for a header itself
    QByteArray text;
    QString key; // the key of a damaged value ("Group/name"); empty for a header
};

namespace {

// Splits text into the lines QSettings can read (returned) and the damaged ones (into damage).
QByteArray SortLines(const QByteArray& text, std::vector<SettingsDamagedLine>& damaged) {
    QByteArray readable;
    QByteArray header;
    QString section;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            if (close < 0) {
                damaged.push_back({QByteArray(), raw, QString()});
                continue;
            }
            header = raw;
            section = QString::fromUtf8(line.mid(1, close - 1)).trimmed();
        } else if (HoldsSerializedValue(line)) {
            const qsizetype equals = line.indexOf('=');
            const QString key = QString::fromUtf8(line.left(equals < 0 ? 0 : equals)).trimmed();
            damaged.push_back({header, raw, SectionKey(section, key)});
            continue;
        }
        readable += raw;
        readable += '\n';
    }
    return readable;
}

} // namespace

SettingsFile::SettingsFile(const QString& path) : m_path(path) {
    QString reason;
    const QString target = ReplaceableTarget(path, &reason);
    if (target.isEmpty()) {
        m_error = QStringLiteral("the settings file %1 is not a regular file (a folder, a pipe, a "
                                 "device, a socket or a link to nothing); it is neither read nor "
                                 "written")
                      .arg(path);
        return;
    }
    m_target = target;
    QFile file;
    QByteArray text;
    switch (OpenRegularFile(file, target, &reason)) {
    case OpenFailure::None:
        if (file.size() > kMaxSettingsBytes) {
            m_error = QStringLiteral("the settings file %1 is larger than %2 bytes; it is not read")
                          .arg(path)
                          .arg(kMaxSettingsBytes);
            return;
        }
        text = file.read(kMaxSettingsBytes + 1);
        break;
    case OpenFailure::Missing:
        break;
    case OpenFailure::NotRegular:
    case OpenFailure::Unreadable:
        m_error = QStringLiteral("the settings file %1").arg(reason);
        return;
    }
    QString readFrom = target;
    std::vector<SettingsDamagedLine> damaged;
    const QByteArray readable = SortLines(text, damaged);
    if (!damaged.empty()) {
        // A hand-edited line that cannot be read costs nothing else: the other lines are read
        // from a copy without it, and it is written back as it was.
        m_damaged = std::move(damaged);
        m_readable = std::make_unique<QTemporaryFile>();
        if (!m_readable->open() || m_readable->write(readable) != readable.size() ||
            !m_readable->flush()) {
            m_error = QStringLiteral("the settings file %1 cannot be read").arg(path);
            return;
        }
        m_readable->close();
        readFrom = m_readable->fileName();
    }
    m_settings = std::make_unique<QSettings>(readFrom, QSettings::IniFormat);
    if (m_settings->status() != QSettings::NoError) {
        m_settings.reset();
        m_error = QStringLiteral("the settings file %1 cannot be read").arg(path);
    }
}

SettingsFile::~SettingsFile() = default;

bool SettingsFile::Damaged(const QString& key) const {
    return std::any_of(m_damaged.begin(), m_damaged.end(),
                       [&](const SettingsDamagedLine& line) { return line.key == key; });
}

std::optional<QStringList> SettingsFile::List(const QString& key, int maxItems) {
    if (!m_settings)
        return std::nullopt;
    if (Damaged(key)) {
        m_error = QStringLiteral("the settings file %1 holds a damaged entry %2").arg(m_path, key);
        return std::nullopt;
    }
    const QVariant value = m_settings->value(key);
    if (!value.isValid())
        return QStringList();
    if (value.typeId() != QMetaType::QString && value.typeId() != QMetaType::QStringList) {
        m_error = QStringLiteral("the settings file %1 holds a damaged entry %2").arg(m_path, key);
        return std::nullopt;
    }
    QStringList list = value.toStringList();
    if (list.size() > maxItems) {
        m_error = QStringLiteral("the settings file %1 holds %2 items under %3, more than the %4 "
                                 "it may")
                      .arg(m_path)
                      .arg(list.size())
                      .arg(key)
                      .arg(maxItems);
        return std::nullopt;
    }
    return list;
}

QString SettingsFile::Text(const QString& key) {
    if (!m_settings || Damaged(key))
        return QString();
    // Text as read from the file, or a plain value (a number, a flag) this process set earlier;
    // lists and anything else are no text.
    const QVariant value = m_settings->value(key);
    switch (value.typeId()) {
    case QMetaType::QString: case QMetaType::Int: case QMetaType::LongLong:
    case QMetaType::Double: case QMetaType::Bool:
        return value.toString();
    default:
        return QString();
    }
}

bool SettingsFile::Write(const std::vector<std::pair<QString, QVariant>>& values,
                         const QStringList& remove) {
    if (!m_settings)
        return false;
    for (const QString& key : remove)
        m_settings->remove(key);
    for (const auto& [key, value] : values)
        m_settings->setValue(key, value);
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError) {
        m_error = QStringLiteral("the settings file %1 cannot be written").arg(m_path);
        return false;
    }
    if (!m_readable)
        return true;
    // The readable lines as QSettings wrote them, then the damaged ones as they were, each value
    // under its own section's header again; a damaged entry the program has just written anew is
    // replaced by the new one.
    QFile written(m_readable->fileName());
    if (!written.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("the settings file %1 cannot be written").arg(m_path);
        return false;
    }
    QByteArray text = written.readAll();
    if (!text.isEmpty() && !text.endsWith('\n'))
        text += '\n';
    std::vector<SettingsDamagedLine> kept;
    QByteArray lastHeader;
    for (const SettingsDamagedLine& line : m_damaged) {
        const bool replaced = !line.key.isEmpty() &&
                              (remove.contains(line.key) ||
                               std::any_of(values.begin(), values.end(), [&](const auto& value) {
                                   return value.first == line.key;
                               }));
        if (replaced)
            continue;
        if (!line.header.isEmpty() && line.header != lastHeader)
            text += line.header + '\n';
        lastHeader = line.header;
        text += line.text + '\n';
        kept.push_back(line);
    }
    QString error;
    if (!WriteFileAtomically(m_target, text, &error)) {
        m_error = QStringLiteral("the settings file %1 cannot be written: %2").arg(m_path, error);
        return false;
    }
    m_damaged = std::move(kept);
    return true;
}

} // namespace mosaiq
