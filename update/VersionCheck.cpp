#include "update/VersionCheck.h"

#include "common/Edition.h"
#include "common/OwnFolder.h"
#include "common/TextFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

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

}  // namespace

long long ExpectedBytesOf(std::string_view fileList) {
    std::string_view rest = fileList;
    const long long entries = ParseInteger(TakeField(rest));
    long long sum = 0;
    for (long long i = 0; i < entries; ++i) {
        TakeField(rest);  // not used
        if (__builtin_add_overflow(sum, ParseInteger(TakeField(rest)), &sum))
            throw FileListError("the sizes in the file list add up beyond range");
    }
    return sum;
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

std::string SiteNotAnsweringMessage(bool interactive) {
    return std::string("Ο δικτυακός τόπος της εφαρμογής δεν απάντησε (ή δεν απάντησε όπως αναμενόταν) και ο έλεγχος "
                       "για νέα έκδοση δεν ολοκληρώθηκε. Δεν γράφτηκε τίποτα στον υπολογιστή σας.") +
           (interactive ? " Δοκιμάστε ξανά αργότερα." : " Ο έλεγχος θα γίνει ξανά στην επόμενη εκκίνηση του προγράμματος.");
}

}  // namespace skartina
