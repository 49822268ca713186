#include "core/text/UiText.h"

#include "core/files/RegularFile.h"

#include <QFile>

#include <cstring>

namespace mosaiq {
namespace {
QByteArray g_table;
} // namespace

QByteArray LoadUiTextTable(const QString& path) {
    QFile file;
    if (OpenRegularFile(file, path) != OpenFailure::None)
        return {};
    // Bounded read: the table never holds more than 65,536 bytes, whatever the file's size.
    QByteArray table = file.read(kUiTextTableSize);
    if (table.isEmpty() && file.error() != QFile::NoError)
        return {};
    table.resize(kUiTextTableSize, '\0');
    return table;
}

void SetUiTextTable(QByteArray table) {
    if (!table.isEmpty())
        table.resize(kUiTextTableSize, '\0');
    g_table = std::move(table);
}

QString GetUiText(int n) {
    if (g_table.isEmpty() || n < 0 || n >= kUiTextCount)
        return {};
    const char* slot = g_table.constData() + n * kUiTextSlotSize;
    // At most 259 bytes are text; a slot without a terminator is cut there.
    const size_t len = strnlen(slot, kUiTextSlotSize - 1);
    return QString::fromUtf8(slot, qsizetype(len));
}

} // namespace mosaiq
