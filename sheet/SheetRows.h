// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rows of the sheet and the fixed texts of its headers.

#include <string>
#include <string_view>

namespace skartina {

namespace Row {
inline constexpr int YearHeader = 0;
inline constexpr int PersonHeader = 1;
inline constexpr int Spacer = 2;
inline constexpr int TaxedIncome = 3;
inline constexpr int SpecialIncome = 4;
inline constexpr int RepatriatedCapital = 5;
inline constexpr int AssetSaleIncome = 6;
inline constexpr int OtherIncome = 7;
inline constexpr int AuditIncome = 8;
inline constexpr int IncomeTotal = 9;
inline constexpr int HousePresumption = 10;
inline constexpr int CarPresumption = 11;
inline constexpr int BoatPresumption = 12;
inline constexpr int AircraftPresumption = 13;
inline constexpr int PoolPresumption = 14;
inline constexpr int SchoolFeesPresumption = 15;
inline constexpr int DomesticStaffPresumption = 16;
inline constexpr int PresumptionSurcharge = 17;
inline constexpr int VehiclePurchase = 18;
inline constexpr int BoatAircraftPurchase = 19;
inline constexpr int SecuritiesPurchase = 20;
inline constexpr int RealEstatePurchase = 21;
inline constexpr int BuildingExpense = 22;
inline constexpr int BusinessPurchase = 23;
inline constexpr int GiftsGiven = 24;
inline constexpr int LoanRepayment = 25;
inline constexpr int MinimumLivingAmount = 26;
inline constexpr int ExpenseTotal = 27;
inline constexpr int AvailableBalance = 28;
inline constexpr int CarryAmount = 29;
inline constexpr int DeclaredCapitalConsumption = 30;
inline constexpr int CapitalConsumptionUsed = 31;
inline constexpr int BankTransfers = 32;
inline constexpr int FinalBalance = 33;
inline constexpr int LastCaptioned = FinalBalance;
}  // namespace Row

// The year headers and the totals: bold on darker grey wherever the sheet is shown.
inline constexpr bool IsTotalRow(int row) {
    return row == Row::YearHeader || row == Row::IncomeTotal || row == Row::ExpenseTotal ||
           row == Row::CapitalConsumptionUsed || row == Row::FinalBalance;
}

inline constexpr std::string_view kTaxpayerHeader = "Υπόχρεου";
inline constexpr std::string_view kSpouseHeader = "Συζύγου";
inline constexpr std::string_view kMarriedSpouseHeader = "Συζύγου*";

// "_2020_" for 2020: row 0 of a year's taxpayer column.
std::string YearHeaderText(int year);

// The caption of column 0; empty for the rows after the final balance.
std::string_view RowCaption(int row);

// "2015 Υπόχρεου, «Τεκμήρια Ακινήτων»": how a message names a cell to the user.
std::string DescribeCell(int column, int row);

}  // namespace skartina
