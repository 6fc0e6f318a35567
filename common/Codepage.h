// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Conversion between the program's UTF-8 text and the Greek single-byte code
// page (Windows-1253) of its data files. Used at the file boundary only.

#include <stdexcept>
#include <string>
#include <string_view>

namespace skartina {

// Text with a character that the other encoding cannot hold.
class EncodingError : public std::runtime_error {
public:
    EncodingError(const std::string& what, size_t offset) : std::runtime_error(what), offset_(offset) {}
    // Byte offset, in the text given, of the character that failed.
    size_t offset() const { return offset_; }

private:
    size_t offset_;
};

std::string Utf8ToCp1253(std::string_view utf8);
std::string Cp1253ToUtf8(std::string_view cp1253);

}  // namespace skartina
