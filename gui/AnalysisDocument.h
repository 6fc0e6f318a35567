// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One client's analysis as the window edits it: the sheet and its years, the
// client it belongs to, the file it came from, and every change as an undo step.

#include "sheet/SavedAnalysis.h"
#include "sheet/Sheet.h"
#include "sheet/SheetLayout.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace skartina {

// What an undo step puts back: the sheet, its years and the two settings
// that shape it (the first year, the married mark of every year).
struct SheetState {
    Sheet sheet;
    YearSelection years;
    QString firstYear;
    bool marriedAllYears = false;
    bool operator==(const SheetState& other) const;
};

class AnalysisDocument : public QObject {
    Q_OBJECT
public:
    AnalysisDocument(std::filesystem::path tablesDir, QString workYear, QObject* parent = nullptr);

    Sheet& sheet() { return sheet_; }
    const Sheet& sheet() const { return sheet_; }
    YearSelection& years() { return years_; }
    const std::filesystem::path& tablesDir() const { return tablesDir_; }
    const QString& workYear() const { return workYear_; }
    void setWorkYear(const QString& year) { workYear_ = year; }
    std::filesystem::path fileOf(const std::string& taxNumber) const;

    // The client the sheet belongs to: the tax number it was opened, started,
    // retrieved or saved for; empty while it is nobody's yet.
    const QString& taxNumber() const { return taxNumber_; }
    void setTaxNumber(const QString& taxNumber) { taxNumber_ = taxNumber; }
    // The analysis file as it was opened or last saved; nothing for a new sheet.
    const std::optional<FileStamp>& ownFile() const { return ownFile_; }
    // Whether the file on disk is another than the one opened or last saved.
    bool isForeign(const std::optional<FileStamp>& onDisk) const { return onDisk && onDisk != ownFile_; }

    // Loads the client's analysis (false when there is none); the sheet is then
    // the file's, unchanged.
    bool open(const std::string& taxNumber);
    // Loads an earlier version: a change to save, one undo step.
    bool openVersion(const std::filesystem::path& version);
    // Writes the sheet as the client's analysis, keeping the file it replaces
    // among the earlier versions; the sheet is then the client's, unchanged.
    void save(const std::string& taxNumber);
    // A new sheet of nobody's, or of `taxNumber`: nothing to undo, nothing to lose.
    void startNew(const QString& taxNumber);

    // "Α.Φ.Μ. 123456783 (ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΙΑΝΝΗΣ)", the name from the register.
    std::string clientLabel(const std::string& taxNumber) const;
    // The question before replacing a client's saved analysis that is not the
    // file this sheet came from or was saved to: `lead`, then what the file
    // holds and when it was saved; "" when saving replaces nothing foreign.
    std::string replaceQuestion(const std::string& lead, const std::string& taxNumber) const;

    // Whether there are changes not saved: an undo step away from the saved
    // state, or an amount still being typed.
    bool isModified() const { return typing_ || !undoStack_.isClean(); }
    void markTyping();
    QUndoStack& undoStack() { return undoStack_; }

    // The window's part of the state (the first year, the married mark of
    // every year) as its fields show it; set by the window.
    std::function<void(SheetState&)> readFields;
    // A change has ended: if the state differs from the last step's, it
    // becomes one undo step named `text`. Nothing is recorded while `paused`.
    void record(const QString& text);
    void setPaused(bool paused) { paused_ = paused; }
    // The state now is where undo stops: after opening, saving, starting anew.
    void markClean();

signals:
    // An undo or redo put `state` back: the window shows it.
    void stateRestored(const SheetState& state);
    void modifiedChanged(bool modified);

private:
    friend class SheetStep;
    SheetState current() const;
    void restore(const SheetState& state);
    void setTyping(bool typing);

    std::filesystem::path tablesDir_;
    QString workYear_;
    Sheet sheet_;
    YearSelection years_;
    QString taxNumber_;
    std::optional<FileStamp> ownFile_;
    QUndoStack undoStack_;
    SheetState recorded_;  // the state of the last step
    bool typing_ = false;
    bool paused_ = false;
};

}  // namespace skartina
