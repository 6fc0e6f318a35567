// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TextFile.h"

#include "common/Codepage.h"
#include "common/OwnFolder.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <random>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skartina {
namespace {

constexpr std::string_view kTemporaryMark = ".tmp-";

}  // namespace

// The reasons a user meets, in the user's language; the system's text for the rest.
std::string SystemReason(int err) {
    switch (err) {
    case ENOENT: return "δεν υπάρχει";
    case EACCES:
    case EPERM: return "δεν επιτρέπεται η πρόσβαση";
    case ELOOP: return "είναι σύνδεσμος (symlink) ή κύκλος συνδέσμων";
    case EISDIR: return "είναι φάκελος";
    case ENAMETOOLONG: return "το όνομα είναι πολύ μεγάλο για αρχείο";
    case ENOSPC: return "δεν υπάρχει χώρος στον δίσκο";
    case EROFS: return "ο δίσκος δέχεται μόνο ανάγνωση";
    case ENOTDIR: return "ένα μέρος της διαδρομής δεν είναι φάκελος";
    default: return std::strerror(err);
    }
}

namespace {

std::string Quoted(const std::filesystem::path& path) { return "«" + path.string() + "»"; }

size_t LineOfOffset(std::string_view text, size_t offset) {
    return static_cast<size_t>(std::count(text.begin(), text.begin() + std::min(offset, text.size()), '\n'));
}

[[noreturn]] void ThrowReadError(const std::filesystem::path& path, const std::string& reason) {
    throw FileError("Αδυναμία ανάγνωσης του αρχείου " + Quoted(path) + ": " + reason);
}

[[noreturn]] void ThrowWriteError(const std::filesystem::path& path, int err) {
    throw FileError("Αδυναμία εγγραφής του αρχείου " + Quoted(path) + ": " + SystemReason(err));
}

mode_t ModeFor(FileAccess access) { return access == FileAccess::Executable ? 0700 : 0600; }

std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "είναι φάκελος, όχι αρχείο";
    if (S_ISFIFO(mode)) return "είναι σωλήνωση (FIFO), όχι αρχείο";
    if (S_ISSOCK(mode)) return "είναι υποδοχή (socket), όχι αρχείο";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "είναι συσκευή, όχι αρχείο";
    return "δεν είναι κανονικό αρχείο";
}

std::string SizeText(std::size_t bytes) {
    if (bytes >= 1024 * 1024) return std::to_string(bytes / (1024 * 1024)) + " MB";
    return std::to_string(bytes / 1024) + " KB";
}

struct Descriptor {
    int fd;
    ~Descriptor() { ::close(fd); }
};

// This machine's name as it may stand in a file name: letters and digits only.
std::string MachineName() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    std::string tag;
    for (const char* p = name; *p && tag.size() < 20; ++p)
        if ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9')) tag += *p;
    return tag.empty() ? "host" : tag;
}

const std::string& MachineTag() {
    static const std::string tag = MachineName();
    return tag;
}

bool ProcessRuns(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

// Whether the text after the temporary mark belongs to a writer that is gone.
bool IsStale(std::string_view tail, const struct stat& st) {
    // "<machine>-<process>-XXXXXX", read from the end.
    const size_t last = tail.rfind('-');
    if (last != std::string_view::npos && last > 0) {
        const size_t before = tail.rfind('-', last - 1);
        if (before != std::string_view::npos) {
            const std::string_view machine = tail.substr(0, before);
            const std::string_view process = tail.substr(before + 1, last - before - 1);
            long pid = 0;
            bool number = !process.empty() && process.size() < 10;
            for (char c : process) {
                if (c < '0' || c > '9') number = false;
                else pid = pid * 10 + (c - '0');
            }
            if (number && machine == MachineTag() && !ProcessRuns(pid)) return true;
        }
    }
    const auto changed = std::chrono::system_clock::from_time_t(st.st_mtime);
    return std::chrono::system_clock::now() - changed > kStaleTemporaryAge;
}

// Removes the stale temporary files in the folder whose target name passes `wanted`.
std::vector<std::string> RemoveStale(const std::filesystem::path& folder,
                                     const std::function<bool(std::string_view target)>& wanted) {
    std::vector<std::string> removed;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const size_t mark = name.rfind(kTemporaryMark);
        if (mark == std::string::npos || mark == 0 || !wanted(std::string_view(name).substr(0, mark))) continue;
        struct stat st {};
        if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (!IsStale(std::string_view(name).substr(mark + kTemporaryMark.size()), st)) continue;
        if (::unlink(it->path().c_str()) == 0) removed.push_back(name);
    }
    return removed;
}

// The folder that holds `path`, open for making and renaming files in it.
int OpenFolderOf(const std::filesystem::path& path) {
    const std::filesystem::path parent = path.parent_path();
    const int fd = ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) ThrowWriteError(path, errno);
    return fd;
}

std::string RandomTag() {
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::string tag(6, 'X');
    for (char& c : tag) c = kLetters[random() % (sizeof kLetters - 1)];
    return tag;
}

// A new empty file beside the target `name` in the folder, open for writing,
// owner-only; never a link followed. Its name goes to `temporary`.
int CreateTemporaryIn(int folder, const std::filesystem::path& path, const std::string& name, std::string& temporary) {
    const std::string stem = name + std::string(kTemporaryMark) + MachineTag() + "-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0;; ++attempt) {
        temporary = stem + RandomTag();
        const int fd = ::openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) return fd;
        if (errno != EEXIST || attempt == 100) ThrowWriteError(path, errno);
    }
}

// Gives the finished temporary file its mode and flushes it to disk; removes
// it and throws FileError on any failure. Closes fd.
void Finish(int fd, int folder, const std::string& temporary, const std::filesystem::path& path, FileAccess access,
            bool flush) {
    auto fail = [&](int err, bool open) {
        if (open) ::close(fd);
        ::unlinkat(folder, temporary.c_str(), 0);
        ThrowWriteError(path, err);
    };
    if (::fchmod(fd, ModeFor(access)) != 0) fail(errno, true);
    if (flush && ::fsync(fd) != 0) fail(errno, true);
    if (::close(fd) != 0) fail(errno, false);
}

// Puts the temporary file in the target's place.
void PutInPlace(int folder, const std::string& temporary, const std::string& name, const std::filesystem::path& path) {
    if (::renameat(folder, temporary.c_str(), folder, name.c_str()) != 0) {
        const int err = errno;
        ::unlinkat(folder, temporary.c_str(), 0);
        ThrowWriteError(path, err);
    }
}

// The folder's entries flushed, so that a rename survives a power loss.
void FlushFolder(int folder, const std::filesystem::path& path) {
    if (::fsync(folder) != 0) ThrowWriteError(path, errno);
}

// Gives the finished temporary file its mode, flushes it to disk, puts it in
// the target's place and flushes the folder; removes it and throws FileError
// on any failure before the rename.
void Commit(int fd, int folder, const std::string& temporary, const std::filesystem::path& path, FileAccess access) {
    Finish(fd, folder, temporary, path, access, true);
    PutInPlace(folder, temporary, path.filename().string(), path);
    FlushFolder(folder, path);
}

void WriteAll(int fd, std::string_view bytes, const std::filesystem::path& path) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowWriteError(path, errno);
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

void WriteIn(int folder, const std::filesystem::path& path, std::string_view bytes, FileAccess access) {
    std::string temporary;
    const int fd = CreateTemporaryIn(folder, path, path.filename().string(), temporary);
    try {
        WriteAll(fd, bytes, path);
    } catch (...) {
        ::close(fd);
        ::unlinkat(folder, temporary.c_str(), 0);
        throw;
    }
    Commit(fd, folder, temporary, path, access);
}

}  // namespace

std::string ReadFileBytes(const std::filesystem::path& path, const ReadLimits& limits) {
    return ReadFileBytesAt(AT_FDCWD, path, path, limits);
}

std::string ReadFileBytesAt(int folder, const std::filesystem::path& name, const std::filesystem::path& path,
                            const ReadLimits& limits) {
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (limits.followLink ? 0 : O_NOFOLLOW);
    const int fd = ::openat(folder, name.c_str(), flags);
    if (fd < 0) {
        const int err = errno;
        ThrowReadError(path, err == ELOOP && !limits.followLink ? "είναι σύνδεσμος (symlink)· διαβάζονται μόνο "
                                                                  "κανονικά αρχεία"
                                                                : SystemReason(err));
    }
    const Descriptor open{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) ThrowReadError(path, SystemReason(errno));
    if (!S_ISREG(st.st_mode)) ThrowReadError(path, KindOf(st.st_mode));
    const auto tooLarge = [&] {
        ThrowReadError(path, "είναι μεγαλύτερο από " + SizeText(limits.maxBytes) + ", το όριο για αρχείο αυτού του είδους");
    };
    if (static_cast<std::uint64_t>(st.st_size) > limits.maxBytes) tooLarge();

    // The size told may be wrong (a file that grows, a file of /proc): read to
    // the end, but never past the limit.
    std::string raw;
    raw.resize(std::min<std::size_t>(static_cast<std::size_t>(st.st_size), limits.maxBytes) + 1);
    std::size_t done = 0;
    for (;;) {
        if (done == raw.size()) {
            if (raw.size() > limits.maxBytes) tooLarge();
            raw.resize(std::min(raw.size() * 2, limits.maxBytes + 1));
        }
        const ssize_t n = ::read(fd, raw.data() + done, raw.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowReadError(path, SystemReason(errno));
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    raw.resize(done);
    return raw;
}

std::vector<std::string> Cp1253Lines(std::string_view raw, const std::string& name) {
    std::string text;
    try {
        text = Cp1253ToUtf8(raw);
    } catch (const EncodingError& e) {
        const size_t line = LineOfOffset(raw, e.offset());
        throw LineEncodingError("Το αρχείο «" + name + "» έχει μη αναγνώσιμο χαρακτήρα στη γραμμή " +
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

std::vector<std::string> ReadCp1253Lines(const std::filesystem::path& path, const ReadLimits& limits) {
    return Cp1253Lines(ReadFileBytes(path, limits), path.string());
}

std::string Cp1253FileBytes(const std::vector<std::string>& lines) {
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
    try {
        return Utf8ToCp1253(text);
    } catch (const EncodingError& e) {
        const size_t line = LineOfOffset(text, e.offset());
        throw LineEncodingError("Η γραμμή " + std::to_string(line + 1) +
                                    " περιέχει χαρακτήρα που δεν αποθηκεύεται στην ελληνική κωδικοσελίδα",
                                line);
    }
}

void WriteCp1253Lines(const std::filesystem::path& path, const std::vector<std::string>& lines, FileAccess access) {
    WriteFileAtomically(path, Cp1253FileBytes(lines), access);
}

AtomicFileWriter::AtomicFileWriter(const std::filesystem::path& path) : path_(path), folder_(OpenFolderOf(path)) {
    try {
        fd_ = CreateTemporaryIn(folder_, path_, path_.filename().string(), temporary_);
    } catch (...) {
        ::close(folder_);
        throw;
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlinkat(folder_, temporary_.c_str(), 0);
    }
    ::close(folder_);
}

void AtomicFileWriter::write(std::string_view bytes) {
    if (fd_ < 0) ThrowWriteError(path_, EBADF);
    WriteAll(fd_, bytes, path_);
    size_ += bytes.size();
}

void AtomicFileWriter::commit(FileAccess access) {
    if (fd_ < 0) ThrowWriteError(path_, EBADF);
    const int fd = fd_;
    fd_ = -1;  // Commit closes it and removes the temporary file on failure
    Commit(fd, folder_, temporary_, path_, access);
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, FileAccess access) {
    const Descriptor folder{OpenFolderOf(path)};
    WriteIn(folder.fd, path, bytes, access);
}

void WriteFileAtomically(const OwnFolder& folder, std::string_view name, std::string_view bytes, FileAccess access) {
    WriteIn(folder.fd(), folder / name, bytes, access);
}

FolderWriteBatch::FolderWriteBatch(const OwnFolder& folder) : folder_(::dup(folder.fd())), path_(folder.path()) {
    if (folder_ < 0) ThrowWriteError(path_, errno);
}

FolderWriteBatch::~FolderWriteBatch() {
    for (const auto& [temporary, name] : pending_) ::unlinkat(folder_, temporary.c_str(), 0);
    ::close(folder_);
}

void FolderWriteBatch::add(const std::string& name, std::string_view bytes, FileAccess access) {
    const std::filesystem::path path = path_ / name;
    std::string temporary;
    const int fd = CreateTemporaryIn(folder_, path, name, temporary);
    try {
        WriteAll(fd, bytes, path);
    } catch (...) {
        ::close(fd);
        ::unlinkat(folder_, temporary.c_str(), 0);
        throw;
    }
    Finish(fd, folder_, temporary, path, access, false);
    pending_.emplace_back(std::move(temporary), name);
}

void FolderWriteBatch::commit() {
    // One flush of every file's bytes before any rename: a rename that
    // survives a crash then always names a whole file.
    if (!pending_.empty() && ::syncfs(folder_) != 0) ThrowWriteError(path_, errno);
    while (!pending_.empty()) {
        const auto& [temporary, name] = pending_.back();
        PutInPlace(folder_, temporary, name, path_ / name);
        pending_.pop_back();
    }
    FlushFolder(folder_, path_);
}

void ReplaceFileWith(const std::filesystem::path& path, const std::function<void(const std::filesystem::path&)>& produce,
                     FileAccess access) {
    const Descriptor folder{OpenFolderOf(path)};
    std::string temporary;
    ::close(CreateTemporaryIn(folder.fd, path, path.filename().string(), temporary));
    try {
        produce(path.parent_path() / temporary);
    } catch (...) {
        ::unlinkat(folder.fd, temporary.c_str(), 0);
        throw;
    }
    // Opened again as the file that was made, never a link put in its place.
    const int fd = ::openat(folder.fd, temporary.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        ::unlinkat(folder.fd, temporary.c_str(), 0);
        ThrowWriteError(path, err);
    }
    Commit(fd, folder.fd, temporary, path, access);
}

std::vector<std::string> RemoveStaleTemporaryFiles(const std::filesystem::path& folder) {
    // Nothing is removed from a folder another user could have planted or changed.
    if (!IsOwnFolder(folder)) return {};
    return RemoveStale(folder, [](std::string_view) { return true; });
}

bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec) && !ec) return true;
    const auto first = std::filesystem::weakly_canonical(std::filesystem::absolute(a, ec), ec);
    if (ec) return false;
    const auto second = std::filesystem::weakly_canonical(std::filesystem::absolute(b, ec), ec);
    return !ec && first == second;
}

}  // namespace skartina
