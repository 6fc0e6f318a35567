// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/VersionCheck.h"

#include "common/Edition.h"
#include "common/OwnFolder.h"
#include "common/TextFile.h"

#include <openssl/evp.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <memory>

namespace skartina {
namespace {

constexpr std::string_view kFieldEnd = "<br/>";

// The text before the next field end, removed together with it.
std::string_view TakeField(std::string_view& rest) {
    const size_t end = rest.find(kFieldEnd);
    if (end == std::string_view::npos) throw FileListError("the file list ends before its last field");
    const std::string_view field = rest.substr(0, end);
    rest.remove_prefix(end + kFieldEnd.size());
    return field;
}

long long ParseInteger(std::string_view field) {
    long long value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || ec != std::errc() || end != field.data() + field.size())
        throw FileListError("not an integer in the file list: \"" + std::string(field) + "\"");
    return value;
}

bool IsHex64(std::string_view text) {
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c); });
}

bool IsPackageFileName(std::string_view name) {
    return !name.empty() && name.front() != '.' && std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '.' || c == '+' || c == '~' || c == '_' || c == '-';
    });
}

// SHA-256 of what passes through, as 64 lower-case hexadecimal digits.
class Sha256 {
public:
    Sha256() : ctx_(EVP_MD_CTX_new(), EVP_MD_CTX_free) {
        if (!ctx_ || EVP_DigestInit_ex(ctx_.get(), EVP_sha256(), nullptr) != 1)
            throw std::runtime_error("SHA-256 is not available");
    }
    void add(std::string_view bytes) { EVP_DigestUpdate(ctx_.get(), bytes.data(), bytes.size()); }
    std::string hex() {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        EVP_DigestFinal_ex(ctx_.get(), digest, &length);
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string text;
        for (unsigned int i = 0; i < length; ++i) {
            text += kDigits[digest[i] >> 4];
            text += kDigits[digest[i] & 15];
        }
        return text;
    }

private:
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> ctx_;
};

// The version as the host wrote it, fit for a sentence: one line, no control
// characters, at most 40 characters.
std::string ShownVersion(std::string_view version) {
    std::string shown;
    for (const char c : version) {
        if (c == '\r' || c == '\n') break;
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) shown += c;
    }
    if (shown.size() > 40) shown.resize(40);
    return shown;
}

std::string Megabytes(long long bytes) {
    const long long tenths = (bytes * 10 + 1024 * 1024 / 2) / (1024 * 1024);
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10) + " MB";
}

}  // namespace

std::vector<FileListEntry> FileListEntries(std::string_view fileList) {
    std::string_view rest = fileList;
    const long long count = ParseInteger(TakeField(rest));
    std::vector<FileListEntry> entries;
    long long sum = 0;
    for (long long i = 0; i < count; ++i) {
        FileListEntry entry;
        const std::string_view first = TakeField(rest);
        const size_t blank = first.find(' ');
        entry.name = std::string(first.substr(0, blank));
        if (blank != std::string_view::npos) {
            std::string_view tail = first.substr(blank + 1);
            if (tail.starts_with("sha256=") && IsHex64(tail.substr(7))) {
                entry.sha256 = std::string(tail.substr(7));
                std::transform(entry.sha256.begin(), entry.sha256.end(), entry.sha256.begin(),
                               [](unsigned char c) { return std::tolower(c); });
            }
        }
        entry.size = ParseInteger(TakeField(rest));
        if (__builtin_add_overflow(sum, entry.size, &sum))
            throw FileListError("the sizes in the file list add up beyond range");
        entries.push_back(std::move(entry));
    }
    return entries;
}

long long ExpectedBytesOf(std::string_view fileList) {
    long long sum = 0;
    for (const FileListEntry& entry : FileListEntries(fileList)) sum += entry.size;
    return sum;
}

std::optional<FileListEntry> DebianPackageIn(const std::vector<FileListEntry>& entries, std::string_view architecture) {
    const std::string suffix = "_" + std::string(architecture) + ".deb";
    for (const FileListEntry& entry : entries)
        if (entry.name.starts_with("skartina_") && entry.name.size() > 9 + suffix.size() && entry.name.ends_with(suffix) &&
            IsPackageFileName(entry.name) && entry.size > 0)
            return entry;
    return std::nullopt;
}

std::string_view DebianArchitecture() {
#if defined(__x86_64__)
    return "amd64";
#elif defined(__aarch64__)
    return "arm64";
#elif defined(__i386__)
    return "i386";
#else
    return "unknown";
#endif
}

std::string InstallCommand(const std::filesystem::path& package) {
    return "sudo apt-get install " + package.string();
}

bool IsNewerVersion(std::string_view latest) { return latest > std::string_view(kVersionString); }

ProgressFigures FiguresAfterTransfer(const TransferCounters& c) {
    ProgressFigures f;
    f.received = c.ReceivedBytes;
    f.expected = c.ExpectedBytes;
    if (c.ReceivedBytes > c.ExpectedBytes) {
        f.percent = 0;
        return f;
    }
    f.shown = true;
    if (c.ExpectedBytes > 0)
        f.percent = static_cast<int>(std::lround(static_cast<double>(c.ReceivedBytes) * 100.0 /
                                                 static_cast<double>(c.ExpectedBytes)));
    return f;
}

bool InstallerTransportTrusted(std::string_view host) {
    std::string lower(host);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower.starts_with("https://")) return true;
    if (!lower.starts_with("http://")) return false;
    const std::string_view rest = std::string_view(lower).substr(7);
    const std::string_view name = rest.substr(0, rest.find_first_of("/"));
    const auto hostOnly = [&](std::string_view loopback) {
        return name == loopback || (name.starts_with(loopback) && name[loopback.size()] == ':');
    };
    if (hostOnly("localhost") || hostOnly("[::1]")) return true;
    // 127.0.0.0/8: four dotted numbers starting with 127.
    const std::string_view address = name.substr(0, name.find(':'));
    if (!address.starts_with("127.")) return false;
    int dots = 0;
    for (char c : address) {
        if (c == '.') ++dots;
        else if (c < '0' || c > '9') return false;
    }
    return dots == 3;
}

void VersionCheck::transferEnded() {
    s_.counters.ReceivedBytes += s_.counters.current;
    s_.view.showFigures(FiguresAfterTransfer(s_.counters));
}

std::string VersionCheck::fetch(const char* path, std::chrono::milliseconds readTimeout, std::chrono::milliseconds total,
                                long long maxBytes, std::function<void(std::string_view)> sink) {
    HttpOptions options;
    options.connectTimeout = s_.timeouts.connect;
    options.readTimeout = readTimeout;
    options.totalTimeout = total;
    options.maxBodyBytes = maxBytes;
    long long sunk = 0;
    if (sink)
        options.sink = [&](std::string_view bytes) {
            sink(bytes);
            sunk += static_cast<long long>(bytes.size());
        };
    options.userAgent = kUpdateUserAgent;
    options.accept = kUpdateAccept;
    options.progress = [this](long long received, long long) { s_.counters.current = received; };

    // A transfer that fails before any byte must not count the previous one again.
    s_.counters.current = 0;
    HttpResponse response;
    try {
        response = s_.http.get(s_.host + path, options);
    } catch (...) {
        transferEnded();
        throw;
    }
    s_.counters.current = sink ? sunk : static_cast<long long>(response.body.size());
    transferEnded();
    if (response.status < 200 || response.status > 299)
        throw HttpError("the server answered " + std::to_string(response.status));
    return std::move(response.body);
}

bool VersionCheck::ServerReachable() {
    try {
        return fetch(kProbePath, s_.timeouts.probeRead, s_.timeouts.probeTotal, s_.limits.answerBytes) == "OK";
    } catch (const std::exception&) {
        return false;
    }
}

VersionCheckResult VersionCheck::CheckForNewVersion(bool interactive) {
    if (s_.kind == UpdateKind::DebianPackage) {
        s_.view.openProgress();
        const VersionCheckResult result = runDebianCheck(interactive);
        s_.view.closeProgress();
        return result;
    }
    // The owner's alone, as every folder of the data folder; a folder that cannot
    // be made (or is not the user's own) fails when the installer is written.
    try {
        OwnFolder::Open(s_.workDir / kUpgradeFolder, true);
    } catch (const FileError&) {
    }

    s_.view.openProgress();
    const VersionCheckResult result = runCheck(interactive);
    s_.view.closeProgress();
    return result;
}

VersionCheckResult VersionCheck::runCheck(bool interactive) {
    if (!ServerReachable()) return VersionCheckResult::Unreachable;
    try {
        if (!IsNewerVersion(fetch(kLatestVersionPath, s_.timeouts.read, s_.timeouts.total, s_.limits.answerBytes))) {
            if (interactive) s_.prompter.inform(kNoNewerVersionMessage);
            return VersionCheckResult::UpToDate;
        }
        if (!s_.prompter.confirm(kNewVersionQuestion)) return VersionCheckResult::Declined;

        const auto installer = s_.workDir / kUpgradeFolder / kInstallerName;
        std::error_code ec;
        std::filesystem::remove(installer, ec);  // a file that stays is overwritten below

        if (!InstallerTransportTrusted(s_.host))
            throw HttpError("an installer is fetched only over https");
        s_.counters.ExpectedBytes =
            ExpectedBytesOf(fetch(kFileListPath, s_.timeouts.read, s_.timeouts.total, s_.limits.answerBytes));
        s_.view.setDetails(kDownloadingDetails);
        s_.view.pump();

        // Straight to a temporary file beside the installer, which takes its
        // place only when whole; dropped on any failure.
        AtomicFileWriter file(installer);
        fetch(kDownloadPath, s_.timeouts.read, s_.timeouts.downloadTotal, s_.limits.installerBytes,
              [&](std::string_view bytes) { file.write(bytes); });
        if (file.size() <= kLargestNonInstaller) return VersionCheckResult::NoInstaller;
        s_.view.setDetails(kWritingInstallerDetails);
        s_.view.pump();
        file.commit(FileAccess::Executable);
        s_.start(installer);
        return VersionCheckResult::InstallerStarted;
    } catch (const FileError&) {
        // The installer could not be written here: the one failure the user can mend.
        s_.prompter.inform(kUpdateFailedMessage);
        return VersionCheckResult::Failed;
    } catch (const std::exception&) {
        s_.prompter.inform(SiteNotAnsweringMessage(interactive));
        return VersionCheckResult::Failed;
    }
}

VersionCheckResult VersionCheck::runDebianCheck(bool interactive) {
    if (!ServerReachable()) {
        if (interactive) s_.prompter.inform(kHostUnreachableMessage);
        return VersionCheckResult::Unreachable;
    }
    try {
        const std::string latest = fetch(kLatestVersionPath, s_.timeouts.read, s_.timeouts.total, s_.limits.answerBytes);
        if (!IsNewerVersion(latest)) {
            if (interactive) s_.prompter.inform(kNoNewerVersionMessage);
            return VersionCheckResult::UpToDate;
        }
        const std::vector<FileListEntry> entries =
            FileListEntries(fetch(kFileListPath, s_.timeouts.read, s_.timeouts.total, s_.limits.answerBytes));
        const std::string changes = whatChanged();
        const std::string newer = "Υπάρχει νέα έκδοση της εφαρμογής: «" + ShownVersion(latest) + "»." +
                                  (changes.empty() ? "" : "\r\nΑλλαγές:\r\n" + changes);
        const std::optional<FileListEntry> package = DebianPackageIn(entries, DebianArchitecture());
        if (!package) {
            // A Windows installer is of no use here: the user fetches the new version by hand.
            if (s_.prompter.confirm(newer + "\r\nΔεν διατίθεται πακέτο της για αυτό το σύστημα. Θέλετε να ανοίξετε "
                                             "τη σελίδα λήψης της εφαρμογής;") &&
                s_.openPage)
                s_.openPage(s_.host + kDownloadPagePath);
            return VersionCheckResult::NoPackage;
        }
        if (!s_.prompter.confirm(newer + "\r\nΘέλετε να κατεβάσετε το πακέτο της (" + package->name + ", " +
                                 Megabytes(package->size) + ") και να το εγκαταστήσετε;"))
            return VersionCheckResult::Declined;
        if (!InstallerTransportTrusted(s_.host)) throw HttpError("a package is fetched only over https");
        if (package->size > s_.limits.installerBytes) throw HttpError("the package is larger than any this program takes");

        // The folder holds what is about to run as root: only its owner may change it.
        const auto folder = s_.workDir / kUpgradeFolder;
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            throw FileError("the folder " + folder.string() + " cannot be made");
        s_.counters.ExpectedBytes = package->size;
        s_.view.setDetails(kDownloadingDetails);
        s_.view.pump();
        const auto path = std::filesystem::absolute(folder / package->name);
        AtomicFileWriter file(path);
        Sha256 digest;
        fetch((std::string(kPackageFolderPath) + package->name).c_str(), s_.timeouts.read, s_.timeouts.downloadTotal,
              package->size, [&](std::string_view bytes) {
                  file.write(bytes);
                  digest.add(bytes);
              });
        // Whole or nothing: the size the list announced, and its checksum when it gives one.
        if (static_cast<long long>(file.size()) != package->size)
            throw HttpError("the package arrived with " + std::to_string(file.size()) + " bytes, not " +
                            std::to_string(package->size));
        if (!package->sha256.empty() && digest.hex() != package->sha256)
            throw HttpError("the package's SHA-256 differs from the file list's");
        file.commit(FileAccess::OwnerOnly);
        if (s_.install && s_.install(path)) {
            s_.prompter.inform("Το πακέτο της νέας έκδοσης κατέβηκε και δόθηκε στο σύστημα για εγκατάσταση. Μόλις "
                               "ολοκληρωθεί, κλείστε το πρόγραμμα και ανοίξτε το ξανά.");
            return VersionCheckResult::PackageHandedOver;
        }
        s_.prompter.inform("Το πακέτο της νέας έκδοσης κατέβηκε στο " + path.string() +
                           ". Για να το εγκαταστήσετε, δώστε σε τερματικό την εντολή: " + InstallCommand(path));
        return VersionCheckResult::InstallCommandTold;
    } catch (const FileError&) {
        s_.prompter.inform("Το πακέτο της νέας έκδοσης δεν γράφτηκε στον φάκελο " + (s_.workDir / kUpgradeFolder).string() +
                           " και η ενημέρωση δεν έγινε.");
        return VersionCheckResult::Failed;
    } catch (const std::exception&) {
        s_.prompter.inform(SiteNotAnsweringMessage(interactive));
        return VersionCheckResult::Failed;
    }
}

std::string VersionCheck::whatChanged() {
    std::string text;
    try {
        text = fetch(kChangesPath, s_.timeouts.read, s_.timeouts.total, s_.limits.answerBytes);
    } catch (const std::exception&) {
        return {};  // the note is optional
    }
    // Plain lines only: no control characters but the line breaks, at most 800 bytes.
    std::string shown;
    for (const char c : text)
        if (c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f)) shown += c;
    if (shown.size() > 800) shown.resize(800);
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == ' ')) shown.pop_back();
    return shown;
}

std::string SiteNotAnsweringMessage(bool interactive) {
    return std::string("Ο δικτυακός τόπος της εφαρμογής δεν απάντησε (ή δεν απάντησε όπως αναμενόταν) και ο έλεγχος "
                       "για νέα έκδοση δεν ολοκληρώθηκε. Δεν γράφτηκε τίποτα στον υπολογιστή σας.") +
           (interactive ? " Δοκιμάστε ξανά αργότερα." : " Ο έλεγχος θα γίνει ξανά στην επόμενη εκκίνηση του προγράμματος.");
}

}  // namespace skartina
