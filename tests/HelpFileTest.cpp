// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program finds its shipped instructions.

#include "startup/HelpFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace skartina {
namespace {

namespace fs = std::filesystem;

TEST(ShippedHelp, BesideTheProgramElseWhereThePackagePutsItElseNone) {
    const struct {
        const char* what;
        std::vector<std::string> files;  // made under the root
        std::string found;                // relative to the root; empty: none
    } cases[] = {
        {"build tree", {"build/help/help.html"}, "build/help/help.html"},
        {"installed", {"usr/share/skartina/help.html"}, "usr/share/skartina/help.html"},
        {"both: the build tree's wins", {"usr/bin/help/help.html", "usr/share/skartina/help.html"}, "usr/bin/help/help.html"},
        {"neither", {"usr/share/other/help.html"}, ""},
        {"the documentation folder, which a system may leave out, is not read", {"usr/share/doc/skartina/help.html"}, ""},
        {"a folder by the name is no page", {"usr/share/skartina/help.html/x"}, ""},
    };
    for (const auto& c : cases) {
        test::TempDir root;
        for (const std::string& file : c.files) {
            fs::create_directories((root / file).parent_path());
            test::WriteBytes(root / file, "<p>x</p>");
        }
        const fs::path program = c.what == std::string("build tree") ? root / "build" : root / "usr" / "bin";
        fs::create_directories(program);
        EXPECT_EQ(ShippedHelpFile(program), c.found.empty() ? fs::path() : (root / c.found).lexically_normal()) << c.what;
    }
}

}  // namespace
}  // namespace skartina
