// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/AnalysisDocument.h"

#include "common/ClientFiles.h"
#include "sheet/AnalysisFile.h"
#include "sheet/AnalysisHistory.h"
#include "sheet/SheetRows.h"
#include "registry/TaxNumberCheck.h"
#include "registry/TaxpayerRecord.h"

#include <QUndoCommand>

namespace skartina {

bool SheetState::operator==(const SheetState& other) const {
    if (!(sheet == other.sheet) || firstYear != other.firstYear || marriedAllYears != other.marriedAllYears ||
        years.firstYear() != other.years.firstYear())
        return false;
    for (int year = kOldestBoxYear; year <= kNewestYear; ++year)
        if (years.isTicked(year) != other.years.isTicked(year)) return false;
    return true;
}

// One change as the sheet before and after it: the sheet is small, a copy is cheap.
class SheetStep : public QUndoCommand {
public:
    SheetStep(AnalysisDocument& document, const QString& text, SheetState before, SheetState after)
        : QUndoCommand(text), document_(document), before_(std::move(before)), after_(std::move(after)) {}
    void undo() override { document_.restore(before_); }
    void redo() override {
        // Pushed after the change was made: the first redo has nothing to do.
        if (pushed_) document_.restore(after_);
        pushed_ = true;
    }

private:
    AnalysisDocument& document_;
    SheetState before_;
    SheetState after_;
    bool pushed_ = false;
};

AnalysisDocument::AnalysisDocument(std::filesystem::path tablesDir, QString workYear, QObject* parent)
    : QObject(parent), tablesDir_(std::move(tablesDir)), workYear_(std::move(workYear)) {
    connect(&undoStack_, &QUndoStack::cleanChanged, this, [this] { emit modifiedChanged(isModified()); });
}

std::filesystem::path AnalysisDocument::fileOf(const std::string& taxNumber) const {
    return AnalysisFilePath(tablesDir_, taxNumber, workYear_.toStdString());
}

SheetState AnalysisDocument::current() const {
    SheetState state{sheet_, years_, {}, false};
    if (readFields) readFields(state);
    return state;
}

void AnalysisDocument::restore(const SheetState& state) {
    sheet_ = state.sheet;
    years_ = state.years;
    recorded_ = state;
    setTyping(false);
    emit stateRestored(state);
}

void AnalysisDocument::setTyping(bool typing) {
    const bool was = isModified();
    typing_ = typing;
    if (was != isModified()) emit modifiedChanged(isModified());
}

void AnalysisDocument::markTyping() { setTyping(true); }

void AnalysisDocument::record(const QString& text) {
    if (paused_) return;
    SheetState now = current();
    setTyping(false);
    if (now == recorded_) return;
    undoStack_.push(new SheetStep(*this, text, std::move(recorded_), now));
    recorded_ = std::move(now);
}

void AnalysisDocument::markClean() {
    recorded_ = current();
    undoStack_.setClean();
    setTyping(false);
}

bool AnalysisDocument::open(const std::string& taxNumber) {
    const std::filesystem::path path = fileOf(taxNumber);
    if (!LoadSheetFromFile(path, sheet_)) return false;
    AlignYearBoxesToSheet(sheet_, years_);
    taxNumber_ = QString::fromStdString(taxNumber);
    ownFile_ = StampOf(path);
    // Another sheet: the steps of the one before it are not this one's.
    undoStack_.clear();
    return true;
}

bool AnalysisDocument::openVersion(const std::filesystem::path& version) {
    if (!LoadSheetFromFile(version, sheet_)) return false;
    AlignYearBoxesToSheet(sheet_, years_);
    return true;
}

void AnalysisDocument::save(const std::string& taxNumber) {
    const std::filesystem::path path = fileOf(taxNumber);
    MakeTablesFolderPrivate(tablesDir_);
    SaveSheetKeepingHistory(sheet_, tablesDir_, taxNumber, path);
    ownFile_ = StampOf(path);
    taxNumber_ = QString::fromStdString(taxNumber);
    markClean();
}

void AnalysisDocument::startNew(const QString& taxNumber) {
    taxNumber_ = taxNumber;
    ownFile_.reset();
    undoStack_.clear();
    markClean();
}

std::string AnalysisDocument::clientLabel(const std::string& taxNumber) const {
    std::string name;
    try {
        if (TaxNumberFileNameProblem(taxNumber).empty())
            if (const auto record = LoadTaxpayer(tablesDir_, taxNumber))
                name = record->firstName.empty() ? record->surname : record->surname + " " + record->firstName;
    } catch (const std::exception&) {
        // A record that does not read leaves the number alone.
    }
    return "Α.Φ.Μ. " + taxNumber + (name.empty() ? "" : " (" + name + ")");
}

std::string AnalysisDocument::replaceQuestion(const std::string& lead, const std::string& taxNumber) const {
    if (taxNumber.empty()) return {};
    const auto path = fileOf(taxNumber);
    const std::optional<FileStamp> saved = StampOf(path);
    if (!isForeign(saved)) return {};
    std::string held;
    try {
        Sheet onDisk;
        LoadSheetFromFile(path, onDisk);
        held = DescribeYearsWithFigures(onDisk);
    } catch (const std::exception&) {
        held = "που δεν διαβάζεται";
    }
    return lead + "\nΘα αντικατασταθεί η δήλωση του Α.Φ.Μ. " + taxNumber + " που αποθηκεύτηκε στις " + SavedAtText(*saved) +
           ", " + held + ".";
}

}  // namespace skartina
