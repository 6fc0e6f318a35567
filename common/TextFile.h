#pragma once
// The program's one way to read and write its data files: Windows-1253 text,
// one value per line, CR LF line ends, written whole through a temporary file
// that replaces the target only once it is complete.

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

// A file could not be read or written; the text carries the system's reason.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A line that cannot be stored in, or read from, the file's code page.
class LineEncodingError : public std::runtime_error {
public:
    LineEncodingError(const std::string& what, size_t line) : std::runtime_error(what), line_(line) {}
    size_t line() const { return line_; }  // 0-based

private:
    size_t line_;
};

// Shared: as the umask allows; OwnerOnly: secrets; Executable: a program, as the umask allows.
enum class FileAccess { Shared, OwnerOnly, Executable };

// The whole file as it is stored. Throws FileError.
std::string ReadFileBytes(const std::filesystem::path& path);

// Reads every line; both CR LF and bare LF end a line. Throws FileError or LineEncodingError.
std::vector<std::string> ReadCp1253Lines(const std::filesystem::path& path);

// Writes the lines, each followed by CR LF. A line holding a CR or LF, or a
// character without a Windows-1253 code, throws LineEncodingError and leaves
// the target untouched.
void WriteCp1253Lines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                      FileAccess access = FileAccess::Shared);

// Replaces the file with the bytes: written to a temporary file beside it,
// flushed to disk, then renamed over the target. Throws FileError.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         FileAccess access = FileAccess::Shared);

// The same for a file that a library writes by name: `produce` writes the
// temporary file it is given (beside the target); only a complete file
// replaces the target. An exception from `produce` leaves the target as it was.
void ReplaceFileWith(const std::filesystem::path& path,
                     const std::function<void(const std::filesystem::path& temporary)>& produce,
                     FileAccess access = FileAccess::Shared);

}  // namespace skartina
