// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/HandEntry.h"

#include "common/TextTrim.h"
#include "sheet/Amount.h"

namespace skartina {
namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// The run of digits that starts at `at`.
size_t DigitsFrom(std::string_view text, size_t at) {
    size_t n = 0;
    while (at + n < text.size() && IsDigit(text[at + n])) ++n;
    return n;
}

}  // namespace

namespace {

// The typed text rewritten in the sheet's own grammar ("-01234,5"), or nothing.
std::optional<std::string> SheetGrammarOf(std::string_view text) {
    text = TrimBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    for (char ch : text)
        if (!IsDigit(ch) && ch != '.' && ch != ',') return std::nullopt;

    // Which mark is the decimal one: the comma, or else a last point that
    // ends the text with one or two digits.
    size_t decimal = text.find(',');
    if (decimal != std::string_view::npos && text.find(',', decimal + 1) != std::string_view::npos) return std::nullopt;
    if (decimal == std::string_view::npos) {
        const size_t last = text.rfind('.');
        if (last != std::string_view::npos) {
            const size_t after = text.size() - last - 1;
            if ((after == 1 || after == 2) && DigitsFrom(text, last + 1) == after) decimal = last;
        }
    }
    const std::string_view whole = text.substr(0, decimal == std::string_view::npos ? text.size() : decimal);
    const std::string_view cents = decimal == std::string_view::npos ? std::string_view() : text.substr(decimal + 1);
    if (cents.size() > 2 || cents.find_first_of(".,") != std::string_view::npos) return std::nullopt;
    if (whole.empty() && cents.empty()) return std::nullopt;

    // Every point of the whole part stands before exactly three digits.
    std::string plain(negative ? "-0" : "0");
    for (size_t i = 0; i < whole.size(); ++i) {
        if (whole[i] == '.') {
            if (i == 0 || DigitsFrom(whole, i + 1) != 3) return std::nullopt;
            continue;
        }
        plain += whole[i];
    }
    if (!cents.empty()) plain += "," + std::string(cents);
    return plain;
}

}  // namespace

std::optional<Money> ReadTypedMoney(std::string_view text) {
    const auto plain = SheetGrammarOf(text);
    if (!plain) return std::nullopt;
    return ReadAmount(*plain);
}

std::optional<std::string> NormalizeTypedAmount(std::string_view text) {
    if (TrimBlanks(text).empty()) return std::string();
    const auto value = ReadTypedMoney(text);
    if (!value) return std::nullopt;
    return WriteAmount(*value);
}

namespace {

bool IsAmountCell(const Sheet& sheet, CellPos cell) {
    return cell.column >= 1 && cell.column < sheet.columnCount() && cell.row >= 2 && cell.row < sheet.rowCount();
}

}  // namespace

void HandEntry::follow(const Sheet& sheet, CellPos cell) {
    lastEdit_ = cell;
    before_ = IsAmountCell(sheet, cell) ? sheet.cell(cell.column, cell.row) : SheetCell{};
}

void HandEntry::normalize(Sheet& sheet) {
    // Only amount cells are typed into; headers and captions are never rewritten.
    if (!IsAmountCell(sheet, lastEdit_)) return;
    const std::string text = CellText(sheet, lastEdit_.column, lastEdit_.row);
    if (text.empty()) return;
    if (TrimBlanks(text).empty()) return sheet.clear(lastEdit_.column, lastEdit_.row);
    if (const auto amount = ReadTypedMoney(text)) return sheet.setAmount(lastEdit_.column, lastEdit_.row, *amount);
    sheet.setCell(lastEdit_.column, lastEdit_.row, before_);
    refusal_ = Refusal{lastEdit_, text, CellText(sheet, lastEdit_.column, lastEdit_.row)};
}

std::optional<HandEntry::Refusal> HandEntry::takeRefusal() {
    std::optional<Refusal> refusal = std::move(refusal_);
    refusal_.reset();
    return refusal;
}

std::string RefusedAmountSentence(std::string_view typed, std::string_view kept) {
    return "Το «" + std::string(typed) + "» δεν είναι ποσό (γράφεται π.χ. 1.234,50)· το κελί έμεινε " +
           (kept.empty() ? std::string("κενό") : std::string(kept)) + ".";
}

void HandEntry::textEdited(const Sheet& sheet, CellPos cell) {
    if (cell != lastEdit_) follow(sheet, cell);
}

bool HandEntry::currentCellReached(Sheet& sheet, CellPos current) {
    if (lastEdit_ == CellPos{}) return false;
    if (lastEdit_ != current) {
        normalize(sheet);
        follow(sheet, current);
    }
    return true;
}

bool HandEntry::finish(Sheet& sheet) {
    if (lastEdit_ == CellPos{}) return false;
    normalize(sheet);
    lastEdit_ = {};
    return true;
}

}  // namespace skartina
