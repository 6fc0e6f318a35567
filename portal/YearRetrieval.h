// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One year's E1 return from the tax portal, as a year button runs it: the
// checks of the button, then the one portal navigation with this single year
// (BatchRetrieval.h), the sheet recalculated, and the year's sentence told
// when the year was not read.

#include "common/Prompter.h"
#include "e1/E1CodeTable.h"
#include "portal/BatchRetrieval.h"
#include "portal/PortalSession.h"
#include "sheet/Sheet.h"
#include "sheet/SheetGrid.h"

#include <filesystem>
#include <optional>
#include <string>

namespace skartina {

inline const std::string kYearNotTickedMessage = "Δεν έχετε επιλέξει το αντίστοιχο έτος για άντληση στοιχείων.";
inline const std::string kNoTaxNumberMessage = "Δεν έχετε συμπληρώσει τον Α.Φ.Μ. του φορολογούμενου.";
inline const std::string kNoCredentialsMessage = "Δεν έχετε συμπληρώσει τα στοιχεία εισόδου στην Α.Α.Δ.Ε.";

struct YearRequest {
    int year = 0;
    PortalCredentials credentials;
    int extraSeconds = 0;  // added to every wait's bound; negative counts as 0
    // Where the year's document, the log and the diagnostics are kept; empty: nothing is kept.
    std::filesystem::path sourcesFolder;
    bool fixedPauses = false;  // the patient mode
};

// What a retrieval shows in its window.
class RetrievalView {
public:
    virtual ~RetrievalView() = default;
    // The waiting panel, shown for the retrieval.
    virtual void ShowWaiting() {}
    virtual void HideWaiting() {}
    // The report's text was taken over ("ΟΚ" in the counter panel).
    virtual void ReportTaken() {}
    // Rebuilds the sheet's computed rows after a retrieval.
    virtual void RecalculateSheet() = 0;
    // Asked at every look at the pages: true ends the retrieval as cancelled.
    virtual bool CancelRequested() { return false; }
};

// What keeps the year button from starting: the message of the first check
// that fails (the year ticked, the tax number, the credentials); nothing when all pass.
std::optional<std::string> YearRequestProblem(const YearRequest& request, bool yearTicked);

// The year button: the checks and their messages (nothing when one fails),
// the waiting panel, the year through the portal navigation, the
// recalculation, and the year's sentence told unless the year was read. A
// cancelled retrieval (the window closing) tells nothing.
std::optional<YearResult> RetrieveYearFromPortal(PortalSession& portal, const YearRequest& request, bool yearTicked,
                                         E1CodeTable& e1, Sheet& sheet, Prompter& prompter, RetrievalView& view);

}  // namespace skartina
