#include "common/TextFile.h"

#include "common/Codepage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace skartina {
namespace {

std::string SystemReason(int err) { return std::strerror(err); }

std::string Quoted(const std::filesystem::path& path) { return "«" + path.string() + "»"; }

size_t LineOfOffset(std::string_view text, size_t offset) {
    return static_cast<size_t>(std::count(text.begin(), text.begin() + std::min(offset, text.size()), '\n'));
}

[[noreturn]] void ThrowWriteError(const std::filesystem::path& path, int err) {
    throw FileError("Αδυναμία εγγραφής του αρχείου " + Quoted(path) + ": " + SystemReason(err));
}

mode_t UmaskMode(mode_t mode) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mode & ~mask;
}

mode_t ModeFor(FileAccess access) {
    switch (access) {
    case FileAccess::OwnerOnly: return 0600;
    case FileAccess::Executable: return UmaskMode(0777);
    case FileAccess::Shared: break;
    }
    return UmaskMode(0666);
}

}  // namespace

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw FileError("Αδυναμία ανάγνωσης του αρχείου " + Quoted(path) + ": " + SystemReason(errno));
    std::string raw;
    in.seekg(0, std::ios::end);
    raw.resize(static_cast<size_t>(std::max<std::streamoff>(in.tellg(), 0)));
    in.seekg(0);
    in.read(raw.data(), static_cast<std::streamsize>(raw.size()));
    if (!in)
        throw FileError("Αδυναμία ανάγνωσης του αρχείου " + Quoted(path) + ": " + SystemReason(errno));
    return raw;
}

std::vector<std::string> ReadCp1253Lines(const std::filesystem::path& path) {
    const std::string raw = ReadFileBytes(path);
    std::string text;
    try {
        text = Cp1253ToUtf8(raw);
    } catch (const EncodingError& e) {
        const size_t line = LineOfOffset(raw, e.offset());
        throw LineEncodingError("Το αρχείο " + Quoted(path) + " έχει μη αναγνώσιμο χαρακτήρα στη γραμμή " +
                                    std::to_string(line + 1),
                                line);
    }

    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        lines.emplace_back(text, start, stop - start);
        start = end + 1;
    }
    return lines;
}

void WriteCp1253Lines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                      FileAccess access) {
    std::string text;
    size_t total = 0;
    for (const auto& line : lines) total += line.size() + 2;
    text.reserve(total);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find_first_of("\r\n") != std::string::npos)
            throw LineEncodingError("Η γραμμή " + std::to_string(i + 1) + " περιέχει αλλαγή γραμμής", i);
        text += lines[i];
        text += "\r\n";
    }

    std::string bytes;
    try {
        bytes = Utf8ToCp1253(text);
    } catch (const EncodingError& e) {
        const size_t line = LineOfOffset(text, e.offset());
        throw LineEncodingError("Η γραμμή " + std::to_string(line + 1) +
                                    " περιέχει χαρακτήρα που δεν αποθηκεύεται στην ελληνική κωδικοσελίδα",
                                line);
    }
    WriteFileAtomically(path, bytes, access);
}

namespace {

// Gives the finished temporary file its mode, flushes it to disk and puts it
// in the target's place; removes it and throws FileError on any failure.
void Commit(int fd, const std::string& temporary, const std::filesystem::path& path, FileAccess access) {
    auto fail = [&](int err, bool open) {
        if (open) ::close(fd);
        ::unlink(temporary.c_str());
        ThrowWriteError(path, err);
    };
    if (::fchmod(fd, ModeFor(access)) != 0) fail(errno, true);
    if (::fsync(fd) != 0) fail(errno, true);
    if (::close(fd) != 0) fail(errno, false);
    if (::rename(temporary.c_str(), path.c_str()) != 0) fail(errno, false);
}

// A new empty file beside the target, open for writing.
int CreateTemporaryBeside(const std::filesystem::path& path, std::string& temporary) {
    temporary = path.string() + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) ThrowWriteError(path, errno);
    return fd;
}

}  // namespace

void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, FileAccess access) {
    std::string temporary;
    const int fd = CreateTemporaryBeside(path, temporary);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            ::unlink(temporary.c_str());
            ThrowWriteError(path, err);
        }
        done += static_cast<size_t>(n);
    }
    Commit(fd, temporary, path, access);
}

void ReplaceFileWith(const std::filesystem::path& path, const std::function<void(const std::filesystem::path&)>& produce,
                     FileAccess access) {
    std::string temporary;
    ::close(CreateTemporaryBeside(path, temporary));
    try {
        produce(temporary);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    const int fd = ::open(temporary.c_str(), O_RDWR);
    if (fd < 0) {
        const int err = errno;
        ::unlink(temporary.c_str());
        ThrowWriteError(path, err);
    }
    Commit(fd, temporary, path, access);
}

}  // namespace skartina
