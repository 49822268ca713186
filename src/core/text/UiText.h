#pragma once

#include <QByteArray>
#include <QString>

namespace mosaiq {

// The UI text table: 65,536 bytes of 260-byte slots; text n starts at byte n * 260 and is a
// NUL-terminated UTF-8 string of at most 259 bytes. Slots 0 to 251 exist.
constexpr int kUiTextSlotSize = 260;
constexpr int kUiTextTableSize = 65536;
constexpr int kUiTextCount = kUiTextTableSize / kUiTextSlotSize; // 252

// Reads "lang.mfd" into a new 65,536-byte table. A missing or unreadable file gives an empty
// QByteArray; a short file fills the slots it holds and leaves the rest empty.
QByteArray LoadUiTextTable(const QString& path);

// Hands the table to the application (replacing any earlier one); an empty array unloads it.
void SetUiTextTable(QByteArray table);

// Text number n, or an empty string when the table is not loaded or n is out of range.
QString GetUiText(int n);

} // namespace mosaiq
