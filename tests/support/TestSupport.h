// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared helpers of the tests: a temporary folder, raw file access and a
// prompter that answers with a preset reply.

#include "common/Prompter.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace skartina::test {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("skartina-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every entry of the folder, by name.
inline std::vector<std::string> FolderNames(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ScriptedPrompter : public Prompter {
public:
    explicit ScriptedPrompter(bool answer) : answer_(answer ? Answer::Yes : Answer::No) {}
    explicit ScriptedPrompter(Answer answer) : answer_(answer) {}
    void inform(const std::string& text) override { informed.push_back(text); }
    bool confirm(const std::string& text) override {
        asked.push_back(text);
        return answer_ == Answer::Yes;
    }
    Answer ask(const std::string& text) override {
        asked.push_back(text);
        return answer_;
    }
    EachAnswer askEach(const std::string& text) override {
        asked.push_back(text);
        return {answer_ == Answer::Yes, forAll};
    }
    int choose(const std::string& text, const std::vector<std::string>& buttons) override {
        informed.push_back(text);
        offeredButtons = buttons;
        return chosen;
    }
    std::vector<std::string> informed;
    std::vector<std::string> asked;
    bool forAll = false;                      // the "για όλα" box of askEach
    int chosen = -1;                          // the button choose() presses; -1: the message closed
    std::vector<std::string> offeredButtons;  // the captions of the last choose()

private:
    Answer answer_;
};

}  // namespace skartina::test
