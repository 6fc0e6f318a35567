// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A page's words put back in reading order, whatever order the PDF draws
// them in: rows by vertical position, each row from left to right. The
// report-text parser reads the lines this gives as it reads a copied text.

#include <string>
#include <vector>

namespace skartina {

// A word as the page shows it: its text (UTF-8) and its box in points, y
// growing downwards.
struct PlacedWord {
    std::string text;
    double left = 0, top = 0, right = 0, bottom = 0;
};

// The page's text, one line per printed row, each ended by a line break.
// A row holds the words whose middles lie within half a glyph height of the
// middle of its first word; within a row, a gap between two words wider than
// a tenth of the glyph height is one space, a narrower one none (the pieces
// of one word drawn apart).
std::string TextInReadingOrder(std::vector<PlacedWord> words);

}  // namespace skartina
