#pragma once
// The check for a newer version on the product web host and the self-update:
// probe, latest version, size of the download, the installer. Plain C++; the
// windows reach the user through Prompter and VersionCheckView.

#include "common/Edition.h"
#include "common/HttpClient.h"
#include "common/Prompter.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace skartina {

inline constexpr const char* kProbePath = "/versions/" SKARTINA_EDITION_FOLDER "/enableinternetcheck.php";
inline constexpr const char* kLatestVersionPath = "/versions/" SKARTINA_EDITION_FOLDER "/getvelmoraver.php";
inline constexpr const char* kFileListPath = "/versions/" SKARTINA_EDITION_FOLDER "/httpfilelist.php?cp=*.txt";
inline constexpr const char* kDownloadPath = "/versions/" SKARTINA_EDITION_FOLDER "/httpdnld.php";

inline constexpr const char* kUpdateUserAgent = "Mozilla/3.0 (compatible; Indy Library)";
inline constexpr const char* kUpdateAccept = "text/html, */*";

inline constexpr const char* kUpgradeFolder = "Upgrade";
inline constexpr const char* kInstallerName = "Setup.exe";
// A download of this size or less is an error page, not an installer.
inline constexpr std::size_t kLargestNonInstaller = 1000;

inline const std::string kNewVersionQuestion =
    "Υπάρχει νέα έκδοση της εφαρμογής.\r\n"
    " Η διαδικασία ενημέρωσης θα διαρκέσει πολύ λίγο χρόνο. Θέλετε να την κατεβάσετε τώρα;";
inline const std::string kNoNewerVersionMessage = "Δεν υπάρχει νεότερη έκδοση της εφαρμογής";
inline const std::string kUpdateFailedMessage =
    "ΠΡΟΣΟΧΗ !! \r\n"
    " Δημιουργήθηκε κάποιο πρόβλημα με την εγγραφή των δεδομένων και η αναβάθμιση δεν έγινε.\r\n"
    " Προσπαθείστε πάλι εκτελώντας τη συντόμευση ως εξής : \r\n"
    " Κάνετε κλικ με το δεξί πλήκτρο του ποντικιού πάνω στο εικονίδιο και επιλέξτε την διαδικασία \r\n"
    " \"εκτέλεση ώς διαχειριστής\" (run as administrator) ";
// The product's site stalled, could not be reached or answered what no update
// service answers: nothing was written; the check runs again the next time.
std::string SiteNotAnsweringMessage(bool interactive);
inline const std::string kDownloadingDetails = "Κατέβασμα των δεδομένων...";
inline const std::string kWritingInstallerDetails = "Δημιουργία του εκτελέσιμου αρχείου...";

struct VersionCheckTimeouts {
    std::chrono::milliseconds connect{5000};
    std::chrono::milliseconds probeRead{5000};
    std::chrono::milliseconds read{10000};
    // Whole-request deadlines, so that a server that sends a byte now and then
    // cannot hold the check (at start-up: the main window) for ever.
    std::chrono::milliseconds probeTotal{10000};
    std::chrono::milliseconds total{20000};  // the version and the file list
    std::chrono::milliseconds downloadTotal{std::chrono::minutes(15)};
};

// The largest answers taken: the probe, the version and the file list are a
// few words; the installer is written to disk as it arrives, never held in memory.
struct VersionCheckLimits {
    long long answerBytes = 4096;
    long long installerBytes = 512LL * 1024 * 1024;
};

// Bytes moved by the update client, kept for the whole run.
struct TransferCounters {
    long long ReceivedBytes = 0;  // all ended transfers
    long long ExpectedBytes = 0;  // the sizes of the last file list read
    long long current = 0;        // the transfer in progress, as last reported
};

// What the two windows show once a transfer has ended.
struct ProgressFigures {
    // False once more has arrived than was announced: panels empty, bars at 0.
    bool shown = false;
    long long received = 0;
    long long expected = 0;
    // The bars' position 0..100; none leaves them as they are (nothing announced yet).
    std::optional<int> percent;
};
ProgressFigures FiguresAfterTransfer(const TransferCounters& counters);

// The progress window and the status panels, as the check drives them.
class VersionCheckView {
public:
    virtual ~VersionCheckView() = default;
    virtual void openProgress() = 0;
    virtual void setDetails(const std::string& text) = 0;
    virtual void showFigures(const ProgressFigures& figures) = 0;
    // Lets pending window events run.
    virtual void pump() = 0;
    virtual void closeProgress() = 0;
};

// Starts a program without waiting for it.
using ProgramStarter = std::function<void(const std::filesystem::path& program)>;

// A list field that is not a decimal integer, a list that ends early, a sum out of range.
class FileListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fields end with "<br/>": the entry count N, then N pairs of an unused field
// and a size in bytes. Returns the sum of the sizes. Throws FileListError.
long long ExpectedBytesOf(std::string_view fileList);

// Plain byte order; a longer text with the same beginning is newer.
bool IsNewerVersion(std::string_view latest);

// Whether an installer may be fetched from the host: over https, or over
// plain http from this machine itself (the tests' server). Anything else could
// be altered on its way and would then run with the user's rights.
bool InstallerTransportTrusted(std::string_view host);

enum class VersionCheckResult { Unreachable, UpToDate, Declined, NoInstaller, Failed, InstallerStarted };

struct VersionCheckSetup {
    std::filesystem::path workDir;
    std::string host;  // scheme included, no trailing slash
    HttpClient& http;
    Prompter& prompter;
    VersionCheckView& view;
    ProgramStarter start;
    TransferCounters& counters;
    VersionCheckTimeouts timeouts{};
    VersionCheckLimits limits{};
};

class VersionCheck {
public:
    explicit VersionCheck(VersionCheckSetup setup) : s_(std::move(setup)) {}

    // The probe answers exactly "OK"; any failure counts as unreachable.
    bool ServerReachable();
    // The whole check. Interactive tells the user when there is nothing newer;
    // the check at start-up is silent then. Failures after the probe are told
    // in either mode (a site that does not answer as such, or an installer
    // that cannot be written); an unreachable service in neither.
    VersionCheckResult CheckForNewVersion(bool interactive);

private:
    VersionCheckResult runCheck(bool interactive);
    // A GET with the update client's headers and the counters kept; a status
    // outside 2xx is a failure. With a sink the body goes there and the
    // returned text is empty.
    std::string fetch(const char* path, std::chrono::milliseconds readTimeout, std::chrono::milliseconds total,
                      long long maxBytes, std::function<void(std::string_view)> sink = nullptr);
    void transferEnded();

    VersionCheckSetup s_;
};

}  // namespace skartina
