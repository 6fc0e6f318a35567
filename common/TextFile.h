// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's one way to read and write its data files: Windows-1253 text,
// one value per line, CR LF line ends, written whole through a temporary file
// that replaces the target only once it is complete.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

// A file could not be read or written; the text, in Greek, says which and why.
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

// Why a system call failed (errno), in the user's language where a user meets it.
std::string SystemReason(int err);

// Every file the program writes is its owner's alone, whatever the umask:
// 0600, or 0700 for a program it fetched.
enum class FileAccess { OwnerOnly, Executable };

class OwnFolder;

// What a reader accepts. Only regular files are read (a FIFO, a device or a
// folder is refused without waiting on it), up to a size that fits the format.
struct ReadLimits {
    std::size_t maxBytes = 64u * 1024 * 1024;
    // False: a symbolic link in the file's own place is refused, not followed
    // (the folders above it may still be links).
    bool followLink = true;
};

// A client's record file: six short lines.
inline constexpr ReadLimits kRecordFileLimits{8 * 1024, false};
// A client's analysis file: the largest sheet the program opens, with room to spare.
inline constexpr ReadLimits kAnalysisFileLimits{4u * 1024 * 1024, false};

// Whether the two paths name one file: the same path written another way,
// through a link, or a hard link of it. A path that does not exist yet is the
// other only when both lead to the same place.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// The whole file as it is stored. Throws FileError.
std::string ReadFileBytes(const std::filesystem::path& path, const ReadLimits& limits = {});

// The same for the file `name` of an open folder (AT_FDCWD: the current
// one); `path` names it in the error. Throws FileError.
std::string ReadFileBytesAt(int folder, const std::filesystem::path& name, const std::filesystem::path& path,
                            const ReadLimits& limits);

// Reads every line; both CR LF and bare LF end a line. Throws FileError or LineEncodingError.
std::vector<std::string> ReadCp1253Lines(const std::filesystem::path& path, const ReadLimits& limits = {});

// The lines of a file's bytes, as ReadCp1253Lines reads them; `name` names the
// file in the error. Throws LineEncodingError.
std::vector<std::string> Cp1253Lines(std::string_view bytes, const std::string& name);

// The bytes of the lines as a file holds them: Windows-1253, each line
// followed by CR LF. A line holding a CR or LF, or a character without a
// Windows-1253 code, throws LineEncodingError.
std::string Cp1253FileBytes(const std::vector<std::string>& lines);

// Writes the lines as Cp1253FileBytes makes them; on LineEncodingError the
// target is untouched.
void WriteCp1253Lines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                      FileAccess access = FileAccess::OwnerOnly);

// Replaces the file with the bytes: written to a temporary file beside it
// (made without following a link), flushed to disk, renamed over the target,
// and the folder flushed so that the rename holds after a power loss.
// Throws FileError.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         FileAccess access = FileAccess::OwnerOnly);

// The same for the file `name` inside a checked folder, relative to it.
void WriteFileAtomically(const OwnFolder& folder, std::string_view name, std::string_view bytes,
                         FileAccess access = FileAccess::OwnerOnly);

// Many files written into one folder together (an import): each goes whole
// to its temporary file; commit() flushes them all to disk at once, puts each
// in its place and flushes the folder once. After a crash every file is the
// old one or the new one whole. A batch destroyed without commit() removes
// its temporary files and replaces nothing. Methods throw FileError.
class FolderWriteBatch {
public:
    explicit FolderWriteBatch(const OwnFolder& folder);
    ~FolderWriteBatch();
    FolderWriteBatch(const FolderWriteBatch&) = delete;
    FolderWriteBatch& operator=(const FolderWriteBatch&) = delete;

    void add(const std::string& name, std::string_view bytes, FileAccess access = FileAccess::OwnerOnly);
    void commit();

private:
    int folder_;
    std::filesystem::path path_;
    std::vector<std::pair<std::string, std::string>> pending_;  // temporary file, target
};

// The same for a file that a library writes by name: `produce` writes the
// temporary file it is given (beside the target); only a complete file
// replaces the target. An exception from `produce` leaves the target as it was.
void ReplaceFileWith(const std::filesystem::path& path,
                     const std::function<void(const std::filesystem::path& temporary)>& produce,
                     FileAccess access = FileAccess::OwnerOnly);

// The same for bytes that arrive piece by piece (a download): nothing is held
// in memory. Until commit() the target is untouched; a writer destroyed
// without commit() removes its temporary file. Methods throw FileError.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::filesystem::path& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(std::string_view bytes);
    std::uint64_t size() const { return size_; }
    void commit(FileAccess access = FileAccess::OwnerOnly);

private:
    std::filesystem::path path_;
    int folder_ = -1;
    std::string temporary_;  // its name in the folder
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// Temporary files are named "<target>.tmp-<machine>-<process>-XXXXXX". They
// are swept once per folder and run (at start-up and at the start of a batch
// of many writes), never before each write, which would make a batch's cost
// grow with the square of the folder's size. One
// left by a save that never finished is stale when its process, on this
// machine, no longer runs; any temporary file (another machine's, an older
// name without its process, a process number used again) is stale once it has
// not changed for a day, which no save or download takes.
inline constexpr std::chrono::hours kStaleTemporaryAge{24};

// Removes the stale temporary files of every target in the folder; returns
// their names. Files that are not temporary files, fresh ones and anything
// that is not a regular file are left alone, and so is a folder that is not
// the user's own (see OwnFolder). Never throws.
std::vector<std::string> RemoveStaleTemporaryFiles(const std::filesystem::path& folder);

}  // namespace skartina
