// SPDX-License-Identifier: GPL-3.0-or-later
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
#include <vector>

namespace skartina {

inline constexpr const char* kProbePath = "/versions/" SKARTINA_EDITION_FOLDER "/enableinternetcheck.php";
inline constexpr const char* kLatestVersionPath = "/versions/" SKARTINA_EDITION_FOLDER "/getvelmoraver.php";
inline constexpr const char* kFileListPath = "/versions/" SKARTINA_EDITION_FOLDER "/httpfilelist.php?cp=*.txt";
inline constexpr const char* kDownloadPath = "/versions/" SKARTINA_EDITION_FOLDER "/httpdnld.php";

// Where the Debian package named in the file list is fetched from, and the page
// where a user of a system without one downloads the new version by hand.
inline constexpr const char* kPackageFolderPath = "/versions/" SKARTINA_EDITION_FOLDER "/";
inline constexpr const char* kDownloadPagePath = "/versions/" SKARTINA_EDITION_FOLDER "/download.html";
// What the new version changes, in a few lines of plain text, when the host says.
inline constexpr const char* kChangesPath = "/versions/" SKARTINA_EDITION_FOLDER "/changes.txt";

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
// The menu's check on Linux, when the probe finds no service.
inline const std::string kHostUnreachableMessage =
    "Δεν ήταν δυνατή η σύνδεση με τον δικτυακό τόπο της εφαρμογής· ελέγξτε τη σύνδεση στο internet και δοκιμάστε ξανά.";
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
// Hands a downloaded Debian package to the system's installer behind a
// graphical authorisation (pkexec apt-get install); false when there is none.
using PackageInstaller = std::function<bool(const std::filesystem::path& package)>;
// Opens a web address in the desktop's browser.
using PageOpener = std::function<void(const std::string& url)>;

// What a newer version is on this system: the Windows installer, started
// in place of the program, or a Debian package handed to apt.
enum class UpdateKind { WindowsInstaller, DebianPackage };
#ifdef _WIN32
inline constexpr UpdateKind kThisSystemUpdate = UpdateKind::WindowsInstaller;
#else
inline constexpr UpdateKind kThisSystemUpdate = UpdateKind::DebianPackage;
#endif

// The command a user types to install the package when no graphical
// authorisation is at hand.
std::string InstallCommand(const std::filesystem::path& package);

// A list field that is not a decimal integer, a list that ends early, a sum out of range.
class FileListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fields end with "<br/>": the entry count N, then N pairs of an unused field
// and a size in bytes. Returns the sum of the sizes. Throws FileListError.
long long ExpectedBytesOf(std::string_view fileList);

// One entry of the file list: its first field (a file name, optionally
// followed by "sha256=" and the file's 64 hexadecimal digits) and its size.
struct FileListEntry {
    std::string name;
    long long size = 0;
    std::string sha256;  // lower case; empty when the list gives none
};
// The N entries of the list. Throws FileListError as ExpectedBytesOf does.
std::vector<FileListEntry> FileListEntries(std::string_view fileList);

// The Debian package of this edition for the architecture among the entries
// ("skartina_<version>_<arch>.deb"), or none. A name with anything but
// letters, digits and ".+~_-" is never taken: it becomes a file and a path.
std::optional<FileListEntry> DebianPackageIn(const std::vector<FileListEntry>& entries, std::string_view architecture);

// The architecture Debian names this build's packages by ("amd64").
std::string_view DebianArchitecture();

// Plain byte order; a longer text with the same beginning is newer.
bool IsNewerVersion(std::string_view latest);

// Whether an installer may be fetched from the host: over https, or over
// plain http from this machine itself (the tests' server). Anything else could
// be altered on its way and would then run with the user's rights.
bool InstallerTransportTrusted(std::string_view host);

enum class VersionCheckResult {
    Unreachable, UpToDate, Declined, NoInstaller, Failed, InstallerStarted,
    // Debian: no package in the list (the download page offered), the package
    // handed to pkexec, or the command to install it told.
    NoPackage, PackageHandedOver, InstallCommandTold
};

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
    UpdateKind kind = kThisSystemUpdate;
    PackageInstaller install = {};
    PageOpener openPage = {};
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
    VersionCheckResult runDebianCheck(bool interactive);
    // The host's note of what changed, fit for a question; empty when it has none.
    std::string whatChanged();
    // A GET with the update client's headers and the counters kept; a status
    // outside 2xx is a failure. With a sink the body goes there and the
    // returned text is empty.
    std::string fetch(const char* path, std::chrono::milliseconds readTimeout, std::chrono::milliseconds total,
                      long long maxBytes, std::function<void(std::string_view)> sink = nullptr);
    void transferEnded();

    VersionCheckSetup s_;
};

}  // namespace skartina
