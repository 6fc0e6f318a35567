// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Codepage.h"

#include <cerrno>
#include <iconv.h>

namespace skartina {
namespace {

std::string Convert(std::string_view in, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw EncodingError(std::string("no conversion from ") + from + " to " + to, 0);

    std::string out(in.size() * 3 + 4, '\0');  // UTF-8 needs at most 3 bytes per Windows-1253 byte
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    const int err = errno;
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) {
        const size_t at = in.size() - srcLeft;
        if (err == EILSEQ || err == EINVAL)
            throw EncodingError("character at byte " + std::to_string(at + 1) +
                                " cannot be converted from " + from + " to " + to, at);
        throw EncodingError("text conversion failed", at);
    }
    out.resize(out.size() - dstLeft);
    return out;
}

}  // namespace

std::string Utf8ToCp1253(std::string_view utf8) {
    return Convert(utf8, "WINDOWS-1253", "UTF-8");
}

std::string Cp1253ToUtf8(std::string_view cp1253) {
    return Convert(cp1253, "UTF-8", "WINDOWS-1253");
}

}  // namespace skartina
