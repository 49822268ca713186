#pragma once

// What the image library's reader and writer halves share: the coder name a type code writes
// with, and a one-line text for an image library exception.

#include <QString>

#include <exception>
#include <string>

namespace mosaiq::magick {

// The coder for writing a picture type code ("PNG", "PCX", …); empty when there is none.
std::string WriteCoder(int type);
// The image library's message for the user, without its source location.
QString Message(const std::exception& e);

} // namespace mosaiq::magick
