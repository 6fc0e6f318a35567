// SPDX-License-Identifier: GPL-3.0-or-later
// --help and --version on the three programs, run as built: each prints on
// standard output and ends with 0, the program itself without a display.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ProgramRun {
    int status;
    std::string out;  // standard output; standard error goes to err
    std::string err;
};

// Runs the shell command with standard error in a file of its own.
ProgramRun Shell(const std::string& command) {
    char errFile[] = "/tmp/skartina-program-err-XXXXXX";
    const int fd = mkstemp(errFile);
    EXPECT_GE(fd, 0);
    close(fd);
    ProgramRun run{-1, {}, {}};
    FILE* pipe = popen((command + " 2>" + errFile).c_str(), "r");
    std::array<char, 4096> buffer;
    for (size_t got; (got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) run.out.append(buffer.data(), got);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (FILE* err = fopen(errFile, "r")) {
        for (size_t got; (got = fread(buffer.data(), 1, buffer.size(), err)) > 0;) run.err.append(buffer.data(), got);
        fclose(err);
    }
    remove(errFile);
    return run;
}

// The program with no display at all: no X, no Wayland, no Qt platform.
const std::string kNoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";

struct Program {
    const char* name;
    std::string path;
    std::vector<std::string> helpNames;  // what the help must list
};

const Program kPrograms[] = {
    {"skartina", SKARTINA_PROGRAM, {"--help", "--version", "--data-dir", "ΣΚΑΡΤΙΝΑ"}},
    {"skartina-cli", SKARTINA_CLI, {"new", "recalc", "retrieve-all", "import-report", "--version", "--help"}},
    {"skartina-portal-sim", SKARTINA_PORTAL_SIM, {"--data", "--late-in", "--logout-to", "--version", "--help"}},
};

TEST(ProgramOptions, VersionNamesTheProgramEditionAndVersion) {
    for (const Program& program : kPrograms) {
        const ProgramRun run = Shell(kNoDisplay + program.path + " --version");
        EXPECT_EQ(run.status, 0) << program.name << ": " << run.err;
        EXPECT_EQ(run.out, std::string(program.name) + " 2021 (" + SKARTINA_VERSION + ")\n");
        EXPECT_EQ(run.err, "") << program.name;
    }
}

TEST(ProgramOptions, HelpListsTheOptionsAndEndsWithZero) {
    for (const Program& program : kPrograms) {
        for (const char* flag : {" --help", " -h"}) {
            const ProgramRun run = Shell(kNoDisplay + program.path + flag);
            EXPECT_EQ(run.status, 0) << program.name << flag << ": " << run.err;
            EXPECT_NE(run.out.find(program.name), std::string::npos) << run.out;
            for (const std::string& name : program.helpNames)
                EXPECT_NE(run.out.find(name), std::string::npos) << program.name << flag << " lacks " << name << ":\n" << run.out;
            EXPECT_EQ(run.err, "") << program.name << flag;
            // The program's help in its own language (the testers' simulator speaks English).
            if (std::string(program.name) == "skartina")
                for (const char* english : {"Options", "Display", "version information"})
                    EXPECT_EQ(run.out.find(english), std::string::npos) << english << ":\n" << run.out;
        }
    }
}

TEST(ProgramOptions, TheProgramWithoutDisplayStillRefusesToStart) {
    // The environment above really has no display: without --help or --version the program says so.
    const ProgramRun run = Shell(kNoDisplay + std::string(SKARTINA_PROGRAM));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("DISPLAY"), std::string::npos) << run.err;
}

TEST(ProgramOptions, EachCliCommandHasItsOwnHelp) {
    const struct {
        const char* command;
        std::vector<std::string> names;
    } cases[] = {
        {"new", {"OUT.grd", "--first-year", "--married"}},
        {"retrieve", {"YEAR", "IN.grd", "OUT.grd", "--afm", "--user", "--accountant", "--extra-seconds"}},
        {"retrieve-all", {"--years", "--user", "--extra-seconds"}},
        {"xlsx", {"IN.grd", "OUT.xlsx", "--afm", "--name"}},
    };
    for (const auto& c : cases) {
        const ProgramRun run = Shell(std::string(SKARTINA_CLI) + " " + c.command + " --help");
        EXPECT_EQ(run.status, 0) << c.command << ": " << run.err;
        for (const std::string& name : c.names)
            EXPECT_NE(run.out.find(name), std::string::npos) << c.command << " lacks " << name << ":\n" << run.out;
        EXPECT_EQ(run.out.find("--password"), std::string::npos) << "the refused switch is not offered:\n" << run.out;
    }
}

TEST(ProgramOptions, UnknownSwitchesAreNamedAndEndWithTwo) {
    const struct {
        std::string command;
        const char* named;
    } cases[] = {
        {std::string(SKARTINA_CLI) + " xlsx a.grd b.xlsx --colour red", "--colour"},
        {std::string(SKARTINA_CLI) + " recalc a.grd b.grd c.grd", "c.grd"},
        {std::string(SKARTINA_CLI) + " frobnicate", "frobnicate"},
        {std::string(SKARTINA_PORTAL_SIM) + " --data /nowhere --no-such-fault", "--no-such-fault"},
        {std::string(SKARTINA_PORTAL_SIM) + " --data /nowhere --logout-to moon", "moon"},
        {std::string(SKARTINA_PORTAL_SIM), "--data"},
        {kNoDisplay + SKARTINA_PROGRAM + " --data-dir", "--data-dir"},
        {kNoDisplay + SKARTINA_PROGRAM + " --data-dir ''", "--data-dir"},
        {kNoDisplay + SKARTINA_PROGRAM + " --frob", "--frob"},
        {kNoDisplay + SKARTINA_PROGRAM + " extra", "extra"},
        {kNoDisplay + SKARTINA_PROGRAM + " -style fusion --frob", "--frob"},
        {std::string(SKARTINA_CLI) + " --data-dir", "--data-dir"},
        {std::string(SKARTINA_CLI) + " clients", "DIR"},
        {std::string(SKARTINA_CLI) + " retrieve-all a.grd b.grd --afm 123456783 --extra-seconds", "--extra-seconds"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = Shell(c.command);
        EXPECT_EQ(run.status, 2) << c.command;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << c.command << ":\n" << run.err;
        EXPECT_EQ(run.out, "") << c.command;
        // The parser's messages in the programs' own language (the testers' simulator speaks English).
        if (c.command.find(SKARTINA_PORTAL_SIM) == std::string::npos) {
            for (const char* english : {"required", "missing", "Expected", "not expected", "The following"})
                EXPECT_EQ(run.err.find(english), std::string::npos) << c.command << ":\n" << run.err;
        }
    }
}

// Each kind of parser error gets its own sentence, in Greek: the words left
// once the command line's own words are taken out hold no Latin letter.
TEST(ProgramOptions, EachKindOfParserErrorIsToldInItsOwnGreekSentence) {
    const std::string cli = std::string(SKARTINA_CLI) + " ";
    const std::string program = kNoDisplay + SKARTINA_PROGRAM + " ";
    const std::string retrieve = "retrieve 2010 a.grd b.grd --user demo ";
    const struct {
        std::string command;
        std::string said;  // the first line of standard error, up to "(δείτε: ..."
    } cases[] = {
        {cli + retrieve + "--afm 123456783 --afm 123456783",
         "skartina-cli retrieve: το --afm δόθηκε περισσότερες από μία φορές"},
        {cli + "--data-dir a --data-dir b clients x",
         "skartina-cli clients: το --data-dir δόθηκε περισσότερες από μία φορές"},
        {program + "--data-dir a --data-dir b", "skartina: το --data-dir δόθηκε περισσότερες από μία φορές"},
        {cli + retrieve + "--afm", "skartina-cli retrieve: λείπει η τιμή του --afm"},
        {cli + "--data-dir", "skartina-cli: λείπει η τιμή του --data-dir"},
        {program + "--data-dir", "skartina: λείπει η τιμή του --data-dir"},
        {program + "--data-dir=", "skartina: λείπει η τιμή του --data-dir"},
        {cli + "new out.grd --married=x", "skartina-cli new: το --married δεν παίρνει τιμή: «x»"},
        {cli + "retrieve-clients --resume=later", "skartina-cli retrieve-clients: το --resume δεν παίρνει τιμή: «later»"},
        {cli + "new out.grd --frob", "skartina-cli new: άγνωστη ή περιττή παράμετρος: «--frob»"},
        {cli + "recalc a.grd b.grd c.grd", "skartina-cli recalc: άγνωστη ή περιττή παράμετρος: «c.grd»"},
        {program + "--frob", "skartina: άγνωστη ή περιττή παράμετρος: «--frob»"},
        {program + "extra", "skartina: άγνωστη ή περιττή παράμετρος: «extra»"},
        {cli + "clients", "skartina-cli clients: λείπει το DIR"},
        {cli + "year 2010 codes.txt in.grd", "skartina-cli year: λείπει το OUT.grd"},
        {program + "--data-dir ''", "skartina: --data-dir: κενό όνομα φακέλου"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = Shell(c.command);
        EXPECT_EQ(run.status, 2) << c.command;
        EXPECT_EQ(run.out, "") << c.command;
        const std::string first = run.err.substr(0, run.err.find('\n'));
        EXPECT_EQ(first.substr(0, first.find(" (δείτε: ")), c.said) << c.command;
        EXPECT_EQ(run.err, first + "\n") << c.command << ": one line";
        // The program's, the commands' and the options' names are the only Latin words.
        std::string rest = first.substr(first.find(':'));
        for (const char* name : {"skartina-cli", "skartina", "--help", "help", "--data-dir", "--afm", "--married", "--resume",
                                 "--frob", "retrieve-clients", "retrieve", "recalc", "clients", "new", "year", "extra",
                                 "c.grd", "OUT.grd", "DIR", "x", "later"})
            for (size_t at; (at = rest.find(name)) != std::string::npos;) rest.erase(at, std::string(name).size());
        EXPECT_EQ(rest.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"), std::string::npos)
            << c.command << ":\n" << run.err;
    }
}

TEST(ProgramOptions, QtsOwnSwitchesStillReachTheToolkit) {
    // Past the options the program looks for a display, which this environment lacks.
    for (const char* switches : {" -style fusion", " -reverse", " -platform xcb --data-dir /tmp"}) {
        const ProgramRun run = Shell(kNoDisplay + std::string(SKARTINA_PROGRAM) + switches);
        EXPECT_EQ(run.status, 1) << switches << ":\n" << run.err;
        EXPECT_NE(run.err.find("DISPLAY"), std::string::npos) << switches << ":\n" << run.err;
    }
}

// A fresh folder of its own, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        char name[] = "/tmp/skartina-program-XXXXXX";
        EXPECT_NE(mkdtemp(name), nullptr);
        path_ = name;
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// The program started as a user starts it, on Qt's offscreen platform, up to
// its main window: it works in the data folder of the rule and nowhere else.
// The version check at start-up finds no server on this machine at once.
TEST(ProgramOptions, TheProgramWorksInTheDataFolderOfItsRule) {
    namespace fs = std::filesystem;
    const struct {
        const char* name;
        std::string options;
        bool startHoldsTables;
        std::string dataFolder;  // under the scratch folder
        bool made;               // the program makes it
    } cases[] = {
        {"from the menu", "", false, "home/ΣΚΑΡΤΙΝΑ", true},
        {"where its data is", "", true, "start", false},
        {"a folder given", " --data-dir clients", true, "start/clients", true},
    };
    for (const auto& c : cases) {
        ScratchFolder root;
        fs::create_directories(root / "home");
        fs::create_directories(root / "start");
        if (c.startHoldsTables) fs::create_directory(root / "start/Tables");
        const ProgramRun run = Shell("cd '" + (root / "start").string() + "' && env HOME='" + (root / "home").string() +
                                     "' QT_QPA_PLATFORM=offscreen SKARTINA_QUIT_WHEN_SHOWN=1 "
                                     "SKARTINA_PRODUCT_HOST=http://127.0.0.1:9 " SKARTINA_PROGRAM + c.options);
        EXPECT_EQ(run.status, 0) << c.name << ": " << run.err;
        EXPECT_NE(run.out.find("main window shown"), std::string::npos) << c.name << ": " << run.out;
        struct stat info {};
        ASSERT_EQ(stat((root / c.dataFolder).c_str(), &info), 0) << c.name;
        EXPECT_TRUE(S_ISDIR(info.st_mode)) << c.name;
        if (c.made) {
            EXPECT_EQ(info.st_mode & 07777, 0700u) << c.name << ": a folder it makes is its user's only";
        }
        // Nothing of the program's lands outside its data folder.
        EXPECT_EQ(fs::exists(root / "home/ΣΚΑΡΤΙΝΑ"), c.dataFolder == "home/ΣΚΑΡΤΙΝΑ") << c.name;
        if (c.dataFolder != "start") {
            for (const auto& entry : fs::directory_iterator(root / "start"))
                EXPECT_TRUE(entry.path().filename() == "Tables" || entry.path() == root / c.dataFolder)
                    << c.name << ": the start folder holds " << entry.path().filename();
        }
    }
}

}  // namespace
