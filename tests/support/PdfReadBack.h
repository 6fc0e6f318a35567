// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A PDF file as a reader gets it, through poppler: the size of each page, its
// text, and its words in reading order.

#include <gtest/gtest.h>
#include <poppler-document.h>
#include <poppler-page.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace skartina::test {

inline std::string Collapsed(std::string_view text) {
    std::string out;
    for (const char ch : text) {
        const bool space = ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t';
        if (space && (out.empty() || out.back() == ' ')) continue;
        out += space ? ' ' : ch;
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

inline std::string Utf8(const poppler::ustring& text) {
    const poppler::byte_array bytes = text.to_utf8();
    return {bytes.begin(), bytes.end()};
}

// A page of the PDF as a reader gets it.
struct ReadPage {
    double width, height;
    std::string text;                // whitespace collapsed
    std::vector<std::string> words;  // line by line from the top, each line from the left
};

inline std::vector<ReadPage> ReadPdf(const std::string& bytes) {
    std::vector<char> data(bytes.begin(), bytes.end());
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_raw_data(data.data(), static_cast<int>(data.size())));
    if (!doc) ADD_FAILURE() << "not a PDF file";
    std::vector<ReadPage> pages;
    for (int i = 0; doc && i < doc->pages(); ++i) {
        std::unique_ptr<poppler::page> page(doc->create_page(i));
        const poppler::rectf box = page->page_rect(poppler::media_box);
        ReadPage read{box.width(), box.height(),
                      Collapsed(Utf8(page->text(poppler::rectf(), poppler::page::raw_order_layout))), {}};
        struct Word {
            double y, x;
            std::string text;
        };
        std::vector<Word> words;
        for (const poppler::text_box& word : page->text_list())
            words.push_back({word.bbox().y() + word.bbox().height() / 2, word.bbox().x(), Utf8(word.text())});
        std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) { return a.y < b.y; });
        for (size_t start = 0; start < words.size();) {
            size_t end = start;
            while (end < words.size() && words[end].y - words[start].y < 4) ++end;  // rows are 14 points apart
            std::sort(words.begin() + start, words.begin() + end, [](const Word& a, const Word& b) { return a.x < b.x; });
            for (size_t i = start; i < end; ++i) read.words.push_back(words[i].text);
            start = end;
        }
        pages.push_back(std::move(read));
    }
    return pages;
}

}  // namespace skartina::test
