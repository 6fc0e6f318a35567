// SPDX-License-Identifier: GPL-3.0-or-later
#include "e1/ReportLines.h"

#include <algorithm>

namespace skartina {
namespace {

double Middle(const PlacedWord& word) { return (word.top + word.bottom) / 2; }
double Height(const PlacedWord& word) { return std::max(0.0, word.bottom - word.top); }

// Words of one row joined from left to right.
void AppendRow(std::vector<PlacedWord>::iterator begin, std::vector<PlacedWord>::iterator end, std::string& text) {
    std::stable_sort(begin, end, [](const PlacedWord& a, const PlacedWord& b) { return a.left < b.left; });
    for (auto word = begin; word != end; ++word) {
        if (word != begin) {
            const auto& before = *(word - 1);
            if (word->left - before.right > 0.1 * std::min(Height(before), Height(*word))) text += ' ';
        }
        text += word->text;
    }
    text += '\n';
}

}  // namespace

std::string TextInReadingOrder(std::vector<PlacedWord> words) {
    std::erase_if(words, [](const PlacedWord& word) { return word.text.empty(); });
    std::stable_sort(words.begin(), words.end(), [](const PlacedWord& a, const PlacedWord& b) {
        return Middle(a) < Middle(b) || (Middle(a) == Middle(b) && a.left < b.left);
    });
    std::string text;
    auto row = words.begin();
    for (auto word = words.begin(); word != words.end(); ++word) {
        if (Middle(*word) - Middle(*row) > 0.5 * std::min(Height(*row), Height(*word))) {
            AppendRow(row, word, text);
            row = word;
        }
    }
    if (row != words.end()) AppendRow(row, words.end(), text);
    return text;
}

}  // namespace skartina
