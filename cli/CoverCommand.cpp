// SPDX-License-Identifier: GPL-3.0-or-later
// "Κάλυψη δαπάνης": whether the final available balance of a saved sheet covers an expense, per person.

#include "cli/Commands.h"
#include "sheet/AnalysisFile.h"
#include "sheet/BalanceSeries.h"
#include "sheet/Coverage.h"
#include "sheet/Recalculate.h"

#include <iostream>
#include <memory>

namespace skartina::cli {
namespace {

struct CoverArguments {
    std::string in;
    std::string amount;
    std::string person;
};

int RunCover(const CoverArguments& args) {
    const std::optional<std::int64_t> amount = ExpenseCents(args.amount);
    if (!amount)
        throw UsageError("το ποσό «" + EscapeControls(args.amount) + "» δεν είναι ποσό δαπάνης (π.χ. 25000 ή 25.000,50)");
    std::optional<Person> person;
    if (args.person == "taxpayer") person = Person::Taxpayer;
    else if (args.person == "spouse") person = Person::Spouse;
    else if (!args.person.empty())
        throw UsageError("το --person δέχεται taxpayer ή spouse, όχι «" + EscapeControls(args.person) + "»");

    Sheet sheet = LoadSheetArgument(args.in);
    // The balances as the window shows them, whatever wrote the file.
    RecalculateSheet(sheet);
    for (const std::string& line : CoverExpense(ReadBalanceSeries(sheet), *amount, person).lines()) std::cout << line << "\n";
    return 0;
}

}  // namespace

Runner DefineCover(CLI::App& command) {
    const auto args = std::make_shared<CoverArguments>();
    AddRequired(command, "FILE.grd", args->in, "το φύλλο");
    command.add_option("--amount", args->amount, "το ποσό της δαπάνης (π.χ. 25000 ή 25.000,50)")->required()->type_name("AMOUNT");
    command.add_option("--person", args->person, "μόνο ο υπόχρεος (taxpayer) ή μόνο η σύζυγος (spouse)")
        ->type_name("taxpayer|spouse");
    return [args] { return RunCover(*args); };
}

}  // namespace skartina::cli
