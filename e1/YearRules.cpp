// SPDX-License-Identifier: GPL-3.0-or-later
#include "e1/YearRules.h"

#include "e1/IncomeRules.h"
#include "e1/PresumptionRules.h"
#include "e1/YearFigures.h"
#include "sheet/SheetRows.h"

#include <stdexcept>

namespace skartina {
namespace {

// The acquisitions and the declared capital consumption: one code per person.
struct CopiedFigure {
    int row;
    int taxpayerCode;
};
constexpr CopiedFigure kAcquisitions[] = {
    {Row::VehiclePurchase, 719},  {Row::BoatAircraftPurchase, 721}, {Row::SecuritiesPurchase, 723},
    {Row::RealEstatePurchase, 735}, {Row::BuildingExpense, 737},         {Row::BusinessPurchase, 743},
    {Row::GiftsGiven, 725},        {Row::LoanRepayment, 727},
};
constexpr CopiedFigure kDeclaredConsumption{Row::DeclaredCapitalConsumption, 787};

}  // namespace

void RunYearRules(E1CodeTable& e1, Sheet& sheet, int year) {
    if (SpouseColumnOf(year) >= sheet.columnCount() || TaxpayerColumnOf(year) < 1)
        throw std::out_of_range("Το έτος " + std::to_string(year) + " δεν υπάρχει στο φύλλο.");

    const auto publishBoth = [&](int row, auto&& figure) {
        for (Person p : kPersons) PublishFigure(sheet, year, row, p, figure(p));
    };
    const auto publishPair = [&](int row, PersonPair amounts) {
        PublishFigure(sheet, year, row, Person::Taxpayer, amounts.first);
        PublishFigure(sheet, year, row, Person::Spouse, amounts.second);
    };
    const auto copied = [&](const CopiedFigure& f) {
        publishBoth(f.row, [&](Person p) { return e1[CodeOf(f.taxpayerCode, p)]; });
    };

    publishBoth(Row::TaxedIncome, [&](Person p) { return TaxedIncome(e1, year, p); });
    publishBoth(Row::SpecialIncome, [&](Person p) { return SpecialIncome(e1, year, p); });
    publishBoth(Row::AssetSaleIncome, [&](Person p) { return AssetSaleIncome(e1, p); });
    publishBoth(Row::RepatriatedCapital, [&](Person p) { return RepatriatedCapital(e1, p); });

    publishPair(Row::HousePresumption, HousePresumption(e1, year));
    publishBoth(Row::CarPresumption, [&](Person p) { return CarPresumption(e1, p); });
    publishBoth(Row::BoatPresumption, [&](Person p) { return BoatPresumption(e1, p); });
    publishBoth(Row::AircraftPresumption, [&](Person p) { return AircraftPresumption(e1, p); });
    publishBoth(Row::PoolPresumption, [&](Person p) { return PoolPresumption(e1, p); });
    // School fees and domestic staff are the taxpayer's alone: the spouse's cells are left as they are.
    PublishFigure(sheet, year, Row::SchoolFeesPresumption, Person::Taxpayer, SchoolFeesPresumption(e1));
    PublishFigure(sheet, year, Row::DomesticStaffPresumption, Person::Taxpayer, DomesticStaffPresumption(e1));

    for (const CopiedFigure& f : kAcquisitions) copied(f);
    publishPair(Row::PresumptionSurcharge, PresumptionSurcharge(e1, year));
    copied(kDeclaredConsumption);
}

}  // namespace skartina
