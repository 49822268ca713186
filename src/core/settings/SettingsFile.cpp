#include "core/settings/SettingsFile.h"

#include "core/files/RegularFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>

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
    QFile file;
    switch (OpenRegularFile(file, target, &reason)) {
    case OpenFailure::None:
        if (file.size() > kMaxSettingsBytes) {
            m_error = QStringLiteral("the settings file %1 is larger than %2 bytes; it is not read")
                          .arg(path)
                          .arg(kMaxSettingsBytes);
            return;
        }
        if (HoldsSerializedValue(file.readAll())) {
            m_error = QStringLiteral("the settings file %1 holds values this program never "
                                     "writes; move it aside to start with fresh settings")
                          .arg(path);
            return;
        }
        break;
    case OpenFailure::Missing:
        break;
    case OpenFailure::NotRegular:
    case OpenFailure::Unreadable:
        m_error = QStringLiteral("the settings file %1").arg(reason);
        return;
    }
    m_settings = std::make_unique<QSettings>(target, QSettings::IniFormat);
    if (m_settings->status() != QSettings::NoError) {
        m_settings.reset();
        m_error = QStringLiteral("the settings file %1 cannot be read").arg(path);
    }
}

SettingsFile::~SettingsFile() = default;

std::optional<QStringList> SettingsFile::List(const QString& key, int maxItems) {
    if (!m_settings)
        return std::nullopt;
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
    if (!m_settings)
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
    return true;
}

} // namespace mosaiq
