// SPDX-License-Identifier: GPL-3.0-or-later
#include "e1/PresumptionRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <limits>

namespace skartina {
namespace {

struct House {
    int mainArea, auxiliaryArea, taxpayerShare, spouseShare, months, unitValue;
    int constructionYear, exclusion;  // before 2011; exclusion 0: none
    int halfCharged, factorCode;      // from 2011
    double factor;                    // from 2011
    int taxpayerResult;               // the spouse's result is the next code
};

constexpr House kHouses[] = {
    {211, 212, 213, 214, 215, 216, 217, 0, 231, 240, 1.0, 115},
    {218, 219, 220, 221, 222, 223, 224, 204, 232, 241, 0.5, 117},
    {225, 226, 227, 228, 229, 230, 231, 205, 233, 242, 0.5, 119},
};

void StoreResult(E1CodeTable& e1, const House& h, double monthly, int months) {
    e1.set(h.taxpayerResult, months * monthly * e1[h.taxpayerShare] / 100);
    e1.set(h.taxpayerResult + 1, months * monthly * e1[h.spouseShare] / 100);
}

PersonPair HousePresumptionBefore2011(E1CodeTable& e1, int year) {
    for (int code = 115; code <= 120; ++code) e1.set(code, 0);
    for (size_t i = 0; i < std::size(kHouses); ++i) {
        const House& h = kHouses[i];
        const double share = (e1[h.mainArea] + e1[h.auxiliaryArea]) * (e1[h.taxpayerShare] + e1[h.spouseShare]) / 100;
        if (e1[h.unitValue] <= 0) continue;
        const double threshold = i == 0 ? 200.0 : (year < 2007 ? 150.0 : 0.0);
        if (share <= threshold || (h.exclusion != 0 && e1[h.exclusion] != 0)) {
            e1.set(h.taxpayerResult, 0);
            e1.set(h.taxpayerResult + 1, 0);
            continue;
        }
        const double a = e1[h.mainArea] + 0.2 * e1[h.auxiliaryArea];
        const int v = RoundHouseValue(e1[h.unitValue], h.unitValue);
        const double f1 = ZoneFactorOld(v);
        const int y = RoundHouseValue(e1[h.constructionYear], h.constructionYear);
        const double f2 = AgeFactor(y, year);
        const double monthly = v * a * f1 * f2 * 0.035 / 12;
        StoreResult(e1, h, monthly, RoundHouseValue(e1[h.months], h.months));
    }
    return {e1[115] + e1[117] + e1[119], e1[116] + e1[118] + e1[120]};
}

PersonPair HousePresumptionFrom2011(E1CodeTable& e1, int year) {
    for (int code : {115, 117, 119}) e1.set(code, 0);
    const double auxiliaryRate = year == 2011 ? 30.0 : 40.0;
    for (const House& h : kHouses) {
        const double mainArea = e1[h.mainArea];
        const double c = AreaCharge(mainArea, year);
        const double x = e1[h.auxiliaryArea] * auxiliaryRate;
        const double z = ZoneFactor(RoundHouseValue(e1[h.unitValue], h.unitValue));
        const double b = e1[h.factorCode] == 1 ? 1.2 : 1.0;
        const double k = h.factor;
        const double half = mainArea <= 0 ? 0.0 : k * c * z * b / 12 * e1[h.halfCharged] / mainArea;
        const double monthly = k * (c + x) * z * b / 12 - half / 2;
        StoreResult(e1, h, monthly, RoundHouseValue(e1[h.months], h.months));
    }
    return {e1[115] + e1[117] + e1[119] + e1[707], e1[116] + e1[118] + e1[120] + e1[708]};
}

double Sum(const E1CodeTable& e1, Person person, std::initializer_list<int> taxpayerCodes) {
    double sum = 0;
    for (int code : taxpayerCodes) sum += e1[CodeOf(code, person)];
    return sum;
}

}  // namespace

int RoundHouseValue(double value, int code) {
    const double rounded = std::nearbyint(value);  // the default rounding: halves to even
    if (!(rounded >= std::numeric_limits<int32_t>::min() && rounded <= std::numeric_limits<int32_t>::max()))
        throw E1RangeError("Η τιμή του κωδικού " + std::to_string(code) + " του Ε1 είναι εκτός ορίων.");
    return static_cast<int>(rounded);
}

double ZoneFactorOld(int v) {
    if (v <= 440) return 1.1;
    if (v <= 734) return 1.2;
    if (v <= 1174) return 1.3;
    return 1.4;
}

double ZoneFactor(int v) {
    if (v < 2800) return 1.0;
    if (v < 5000) return 1.4;
    return 1.7;
}

double AgeFactor(int constructionYear, int year) {
    const int64_t built = constructionYear <= 99 ? int64_t{1900} + constructionYear : constructionYear;
    const int64_t age = int64_t{year} - built - 2;
    if (age <= 0) return 1.0;
    if (age <= 5) return 0.9;
    if (age <= 10) return 0.8;
    if (age <= 15) return 0.75;
    if (age <= 20) return 0.7;
    if (age <= 25) return 0.65;
    return 0.6;
}

double AreaCharge(double m, int year) {
    struct Tariff {
        double rate[5];
        double base[4];  // the charges at 80, 120, 200 and 300 m²
    };
    static constexpr Tariff k2011{{30, 50, 80, 150, 300}, {2400, 4400, 10800, 25800}};
    static constexpr Tariff kFrom2012{{40, 65, 110, 200, 400}, {3200, 5800, 14600, 34600}};
    const Tariff& t = year == 2011 ? k2011 : kFrom2012;
    if (m <= 80) return t.rate[0] * m;
    if (m <= 120) return t.base[0] + t.rate[1] * (m - 80);
    if (m <= 200) return t.base[1] + t.rate[2] * (m - 120);
    if (m <= 300) return t.base[2] + t.rate[3] * (m - 200);
    return t.base[3] + t.rate[4] * (m - 300);
}

PersonPair HousePresumption(E1CodeTable& e1, int year) {
    return year < 2011 ? HousePresumptionBefore2011(e1, year) : HousePresumptionFrom2011(e1, year);
}

double CarPresumption(const E1CodeTable& e1, Person p) { return Sum(e1, p, {851, 853, 855, 857}); }
double BoatPresumption(const E1CodeTable& e1, Person p) { return Sum(e1, p, {711, 713, 731}); }
double AircraftPresumption(const E1CodeTable& e1, Person p) { return e1[CodeOf(715, p)]; }
double PoolPresumption(const E1CodeTable& e1, Person p) { return e1[CodeOf(765, p)]; }
double SchoolFeesPresumption(const E1CodeTable& e1) { return e1[769]; }
double DomesticStaffPresumption(const E1CodeTable& e1) { return e1[770]; }

PersonPair PresumptionSurcharge(const E1CodeTable& e1, int year) {
    if (year >= 2011) return {0, 0};
    const double n = std::max(0.0, e1[795] + e1[796] - 2);
    const double pt = 2 * e1[707] + e1[709] + e1[713] + 2 * e1[731] + e1[715] + e1[765];
    const double ps = 2 * e1[708] + e1[710] + e1[714] + 2 * e1[732] + e1[716] + e1[766];
    if (pt + ps <= 7350) return {0, 0};
    const double st = 0.1 * n * pt;
    const double ss = 0.1 * n * ps;
    const double total = st + ss;
    if (2 * e1[767] < total) {
        const double capped = 2 * e1[767];
        const double shareT = pt / (pt + ps) * capped;
        return {shareT, capped - shareT};
    }
    // Uncapped, the row carries the presumptions together with their surcharge.
    return {(1 + 0.1 * n) * pt, (1 + 0.1 * n) * ps};
}

}  // namespace skartina
