#pragma once

// Text in fixed-size record fields (char[N]): UTF-8, NUL-terminated, at most N - 1 bytes, cut
// only at a character boundary. Bytes that are not valid UTF-8 (fields written on Windows) are
// read as Windows-1252.

#include <QString>

#include <cstddef>

namespace mosaiq {

// Reads a NUL-terminated field of size bytes (an unterminated field ends at its last byte).
QString ReadFixedText(const char* field, std::size_t size);

// Writes text into a field of size bytes, zero-filling the rest. Returns false (and writes as
// much as fits, cut at a character boundary) when the text needs more than size - 1 bytes.
bool WriteFixedText(char* field, std::size_t size, const QString& text);

// True when text fits a field of size bytes with its terminator.
bool FitsFixedText(const QString& text, std::size_t size);

template <std::size_t N> QString ReadFixedText(const char (&field)[N]) {
    return ReadFixedText(field, N);
}
template <std::size_t N> bool WriteFixedText(char (&field)[N], const QString& text) {
    return WriteFixedText(field, N, text);
}

} // namespace mosaiq
