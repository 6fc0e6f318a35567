// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/DataFolder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace skartina {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteBytes;

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// Sets an environment variable (or unsets it, for nullopt) for one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) ::setenv(name, value->c_str(), 1);
        else ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// The folder the process was started in, given back after a test that moves it.
class ScopedCurrentFolder {
public:
    ScopedCurrentFolder() : old_(fs::current_path()) {}
    ~ScopedCurrentFolder() { fs::current_path(old_); }

private:
    fs::path old_;
};

// What "Tables" is in the start folder; the last three are what another
// user may have planted: another owner's folder, one all may write to, and
// a "Tables" of the user's in a start folder all may write to (as /tmp).
enum class Tables { None, Folder, File, LinkToFolder, Foreign, OpenToAll, InSharedStart };

struct ChoiceCase {
    const char* name;
    std::string explicitDir;  // relative ones are taken from the start folder
    Tables tables;            // what "Tables" is in the start folder
    bool homeKnown;
    std::optional<DataFolderSource> source;  // nullopt: refused
    std::string expected;                   // under the test's root; "" when refused
};

void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }

class ChooseDataFolderTest : public testing::TestWithParam<ChoiceCase> {};

TEST_P(ChooseDataFolderTest, FollowsTheRule) {
    const ChoiceCase& c = GetParam();
    TempDir root;
    const fs::path start = root / "start";
    fs::create_directories(start);
    fs::create_directories(root / "elsewhere");
    switch (c.tables) {
    case Tables::None: break;
    case Tables::Folder: fs::create_directory(start / "Tables"); break;
    case Tables::File: WriteBytes(start / "Tables", "not a folder"); break;
    case Tables::LinkToFolder: fs::create_directory_symlink(root / "elsewhere", start / "Tables"); break;
    case Tables::Foreign:  // the test runs as root: the folder is handed to "nobody"
        fs::create_directory(start / "Tables");
        ASSERT_EQ(::chown((start / "Tables").c_str(), 65534, 65534), 0) << "the test needs root";
        break;
    case Tables::OpenToAll:
        fs::create_directory(start / "Tables");
        ASSERT_EQ(::chmod((start / "Tables").c_str(), 0777), 0);
        break;
    case Tables::InSharedStart:
        fs::create_directory(start / "Tables");
        ASSERT_EQ(::chmod(start.c_str(), 01777), 0);
        break;
    }
    fs::path explicitDir = c.explicitDir;
    if (!c.explicitDir.empty() && c.explicitDir[0] == '/') explicitDir = root.path().string() + c.explicitDir;
    const DataFolderRequest request{explicitDir, start, c.homeKnown ? root / "home" : fs::path()};

    if (!c.source) {
        EXPECT_THROW(ChooseDataFolder(request), DataFolderError);
        return;
    }
    const DataFolderChoice choice = ChooseDataFolder(request);
    EXPECT_EQ(choice.source, *c.source);
    EXPECT_EQ(choice.folder, root.path() / c.expected);
    EXPECT_TRUE(choice.folder.is_absolute());
    EXPECT_FALSE(fs::exists(root / "home")) << "choosing creates nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseDataFolderTest,
    testing::Values(
        ChoiceCase{"ExplicitAbsoluteWinsOverTables", "/elsewhere", Tables::Folder, true, DataFolderSource::Explicit,
                   "elsewhere"},
        ChoiceCase{"ExplicitRelativeIsFromTheStartFolder", "../elsewhere/./data", Tables::None, true,
                   DataFolderSource::Explicit, "elsewhere/data"},
        ChoiceCase{"ExplicitNeedsNoHome", "data/", Tables::None, false, DataFolderSource::Explicit, "start/data"},
        ChoiceCase{"StartFolderHoldingTables", "", Tables::Folder, true, DataFolderSource::CurrentFolder, "start"},
        ChoiceCase{"StartFolderHoldingALinkedTablesGoesHome", "", Tables::LinkToFolder, true, DataFolderSource::Home,
                   "home/ΣΚΑΡΤΙΝΑ"},
        ChoiceCase{"AnotherUsersTablesGoesHome", "", Tables::Foreign, true, DataFolderSource::Home, "home/ΣΚΑΡΤΙΝΑ"},
        ChoiceCase{"TablesAllMayWriteToGoesHome", "", Tables::OpenToAll, true, DataFolderSource::Home, "home/ΣΚΑΡΤΙΝΑ"},
        ChoiceCase{"TablesInAFolderAllMayWriteToGoesHome", "", Tables::InSharedStart, true, DataFolderSource::Home,
                   "home/ΣΚΑΡΤΙΝΑ"},
        ChoiceCase{"StartFolderHoldingTablesNeedsNoHome", "", Tables::Folder, false, DataFolderSource::CurrentFolder,
                   "start"},
        ChoiceCase{"MenuStartGoesHome", "", Tables::None, true, DataFolderSource::Home, "home/ΣΚΑΡΤΙΝΑ"},
        ChoiceCase{"TablesThatIsAFileIsNoDataFolder", "", Tables::File, true, DataFolderSource::Home, "home/ΣΚΑΡΤΙΝΑ"},
        ChoiceCase{"NoHomeAndNothingElseIsRefused", "", Tables::None, false, std::nullopt, ""}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

TEST(DataFolder, HomeFolderIsHomeWhenAbsoluteElseThePasswordEntry) {
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    const fs::path fromDatabase = entry->pw_dir;
    {
        ScopedEnv home("HOME", "/srv/accounts");
        EXPECT_EQ(HomeFolder(), fs::path("/srv/accounts"));
    }
    for (const std::optional<std::string>& value : {std::optional<std::string>(), std::optional<std::string>(""),
                                                    std::optional<std::string>("relative/home")}) {
        ScopedEnv home("HOME", value);
        EXPECT_EQ(HomeFolder(), fromDatabase) << "HOME=" << value.value_or("(unset)");
    }
}

TEST(DataFolder, PreparingCreatesAMissingFolderForItsOwnerOnly) {
    TempDir root;
    const mode_t oldMask = ::umask(0);  // even a permissive umask leaves it private
    PrepareDataFolder({root / "ΣΚΑΡΤΙΝΑ", DataFolderSource::Home});
    ::umask(oldMask);
    ASSERT_TRUE(fs::is_directory(root / "ΣΚΑΡΤΙΝΑ"));
    EXPECT_EQ(ModeOf(root / "ΣΚΑΡΤΙΝΑ"), 0700u);
}

TEST(DataFolder, PreparingKeepsAnExistingFolderAsItIs) {
    TempDir root;
    fs::create_directory(root / "shared");
    ::chmod((root / "shared").c_str(), 0750);
    WriteBytes(root / "shared" / "kept", "x");
    PrepareDataFolder({root / "shared", DataFolderSource::Explicit});
    EXPECT_EQ(ModeOf(root / "shared"), 0750u);
    EXPECT_TRUE(fs::exists(root / "shared" / "kept"));
}

TEST(DataFolder, PreparingRefusesAFileAndAMissingParentNamingTheFolder) {
    TempDir root;
    WriteBytes(root / "file", "x");
    for (const fs::path& folder : {root / "file", root / "missing" / "data"}) {
        try {
            PrepareDataFolder({folder, DataFolderSource::Explicit});
            ADD_FAILURE() << "accepted " << folder;
        } catch (const DataFolderError& e) {
            EXPECT_NE(std::string(e.what()).find(folder.string()), std::string::npos) << e.what();
        }
    }
    EXPECT_FALSE(fs::exists(root / "missing"));
}

// A data folder given or made is used only when it is the user's own; the
// sentence names the folder and the reason.
TEST(DataFolder, PreparingRefusesAFolderThatIsNotTheUsersOwn) {
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> plant;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"a link to a folder", [](const fs::path& data) { fs::create_directory_symlink(data.parent_path() / "real", data); },
         "σύνδεσμος"},
        {"another user's", [](const fs::path& data) { ASSERT_EQ(::chown(data.c_str(), 65534, 65534), 0); }, "άλλον χρήστη"},
        {"writable by all", [](const fs::path& data) { ASSERT_EQ(::chmod(data.c_str(), 0777), 0); }, "0777"},
        {"writable by the group", [](const fs::path& data) { ASSERT_EQ(::chmod(data.c_str(), 0770), 0); }, "0770"},
    };
    for (const Case& c : cases) {
        TempDir root;
        fs::create_directory(root / "real");
        const fs::path data = root / "data";
        if (std::string(c.name) != "a link to a folder") fs::create_directory(data);
        c.plant(data);
        try {
            PrepareDataFolder({data, DataFolderSource::Explicit});
            ADD_FAILURE() << "accepted " << c.name;
        } catch (const DataFolderError& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find("«" + data.string() + "»"), std::string::npos) << what;
            EXPECT_NE(what.find(c.reason), std::string::npos) << c.name << ": " << what;
        }
    }
}

TEST(DataFolder, EnteringAFolderMakesItTheCurrentOne) {
    TempDir root;
    fs::create_directories(root / "home");
    fs::create_directories(root / "start");
    ScopedEnv home("HOME", (root / "home").string());
    ScopedCurrentFolder restore;

    fs::current_path(root / "start");
    const DataFolderChoice fromMenu = EnterDataFolder({});
    EXPECT_EQ(fromMenu.source, DataFolderSource::Home);
    EXPECT_EQ(fs::current_path(), root / "home" / "ΣΚΑΡΤΙΝΑ");
    EXPECT_EQ(ModeOf(root / "home" / "ΣΚΑΡΤΙΝΑ"), 0700u);
    EXPECT_FALSE(fs::exists(root / "start" / "Tables")) << "nothing lands in the start folder";

    fs::current_path(root / "start");
    const DataFolderChoice given = EnterDataFolder("clients");
    EXPECT_EQ(given.source, DataFolderSource::Explicit);
    EXPECT_EQ(fs::current_path(), root / "start" / "clients");
}

}  // namespace
}  // namespace skartina
