// SPDX-License-Identifier: GPL-3.0-or-later
// Replays the fuzzers' regression corpus through the same entry points: each
// case returns or is refused with its loader's documented error, never more.

#include "fuzz/FuzzTargets.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace skartina {
namespace {

TEST(FuzzCorpus, EveryCaseOfEveryTargetIsHandled) {
    const std::filesystem::path corpus = std::filesystem::path(SKARTINA_FIXTURES) / "fuzz-corpus";
    for (const auto& target : fuzz::Targets()) {
        const auto folder = corpus / target.name;
        ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
        size_t cases = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string bytes = test::ReadBytes(entry.path());
            EXPECT_NO_THROW(target.run(bytes)) << entry.path();
            ++cases;
        }
        EXPECT_GT(cases, 0u) << folder;
    }
}

}  // namespace
}  // namespace skartina
