// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a saved analysis holds, told before it is replaced or opened, and how
// a window knows whether the file on disk is still the one it opened or saved.

#include "sheet/Sheet.h"
#include "sheet/SheetGrid.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace skartina {

// Whether a row holds figures of its own (typed or from a return), not a
// total or a balance the recalculation writes.
bool IsFigureRow(int row);

// The years, newest first, whose two columns hold at least one figure other
// than zero in a figure row.
std::vector<int> YearsWithFigures(const Sheet& sheet);

// "έτη με ποσά: 2019, 2016, 2015" or "χωρίς ποσά σε κανένα έτος".
std::string DescribeYearsWithFigures(const Sheet& sheet);

// A figure of a year that a retrieval would change: the sheet held an amount
// of its own (typed, or read from an earlier return) that the portal's differs from.
struct ReplacedFigure {
    int column = 0;
    int row = 0;
    std::string held, retrieved;
};

// The year's figure cells that hold an amount other than zero in `held` and
// another text in `retrieved`; empty when the retrieval only filled empty
// cells or gave the same amounts.
std::vector<ReplacedFigure> ReplacedFigures(const Sheet& held, const Sheet& retrieved, int year);

// The question before such figures are replaced: the year, the first
// figure with its caption and both amounts, how many more.
std::string ReplaceFiguresQuestion(const Sheet& held, int year, const std::vector<ReplacedFigure>& figures);

// Puts the year's figure cells of `from` back into `grid` (a retrieval declined).
void RestoreYearFigures(Sheet& sheet, const Sheet& from, int year);

// A file as it was when a window opened or wrote it: a later write by anyone
// else changes it.
struct FileStamp {
    std::filesystem::path path;
    std::filesystem::file_time_type written{};
    std::uintmax_t size = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file now; nothing when it does not exist.
std::optional<FileStamp> StampOf(const std::filesystem::path& path);

// "12/03/2021 10:42" in local time: when the file was last written.
std::string SavedAtText(const FileStamp& stamp);

}  // namespace skartina
