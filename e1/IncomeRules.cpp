// SPDX-License-Identifier: GPL-3.0-or-later
#include "e1/IncomeRules.h"

#include <algorithm>

namespace skartina {
namespace {

// The person's amount of a code given by its taxpayer number.
struct Codes {
    const E1CodeTable& e1;
    Person person;
    double operator()(int taxpayerCode) const { return e1[CodeOf(taxpayerCode, person)]; }
    bool spouse() const { return person == Person::Spouse; }
};

double Positive(double x) { return std::max(0.0, x); }

// The block of codes 101 to 182 (with 701, 909 and, from 2015, 515/517).
double BlockAmount(const Codes& E, int year) {
    if (year >= 2015) {
        const double m = std::min(E(163), E(165));
        // Codes 515 and 517 are the taxpayer's alone.
        const double r = E.spouse() ? Positive(0.95 * (E(111) - E(113)))
                                    : Positive(0.95 * (E(111) - E(113)) + E(515) - E(517));
        const double gross = E(101) + 0.95 * E(103) + 0.95 * E(105) + E(107) + 0.95 * E(109) + 0.95 * E(121) +
                             0.95 * E(131) + 0.95 * E(133) + r + 0.95 * E(145) + E(149) + 0.95 * E(129) +
                             0.95 * E(143) + E(141) + E(147);
        const double deductions = E.spouse() ? std::min(E(159), E(101) + E(141) + E(149))
                                             : std::min(E(159), E(515) - E(517) + E(101) + E(141) + E(149));
        return Positive(gross - deductions - m);
    }

    const double m = std::min(E(163), E(165));
    const double a1 = std::max(E(101), E(909));
    const double a2 = Positive(E(105) - m);
    if (year < 2008) {
        const double gross = 0.95 * a1 + 0.9 * E(103) + 0.95 * a2 + 0.95 * E(107) + 0.95 * E(109) +
                             0.95 * (E(111) - E(113)) + 0.9 * E(143) + 0.95 * E(145) + 0.95 * E(147) +
                             0.95 * std::max(E(141), E(701)) + 0.9 * E(129);
        const double deductions = std::min(E(151), 0.15 * (E(103) + E(129) + E(143))) +
                                  std::min(E(157), 0.05 * (E(105) + E(109) + E(145))) + E(159) +
                                  std::min(E(181), 0.3 * (E(177) + E(179)));
        return gross - deductions;  // may be negative and lower the other sources
    }

    const double gross = 0.95 * a1 + 0.95 * E(103) + 0.95 * E(121) + 0.97 * a2 + E(107) + 0.97 * E(109) +
                         0.97 * E(123) + (E(111) - E(113)) + 0.95 * E(143) + 0.97 * E(145) + 0.97 * E(147) +
                         0.95 * std::max(E(141), E(701)) + 0.95 * E(129) + 0.97 * E(125);
    const double base = E(103) + E(121) + E(105) + E(109) + E(129) + E(143) + E(145);
    double deductions = std::min(E(151), 0.4 * base);
    if (year <= 2010) deductions += std::min(E(157), 0.4 * base);
    deductions += E(159) + 0.2 * E(131) + 0.12 * E(133);
    return Positive(gross - deductions);
}

double OtherSourcesUpTo2014(const Codes& E, int year, double A) {
    const double B = E(291);
    double W = E(301) + E(303) + E(317) + E(321);
    if (year < 2010) W += E(305);
    if (year == 2014) W += E(307) + E(309) + E(311) + E(343);
    const double C = E(401) + E(403) + E(405) + E(407);
    const double P = E(501) + E(503) + E(505) + E(507);

    double G = 0;
    double X = 0;
    if (year < 2014) {
        G = E(461) + E(919);
        const double v = E(915) - E(335) - E(337) - E(339);
        X = v > G ? v - G : 0.0;
    } else {
        const double g = E(915) > E(461) ? E(915) - E(335) - E(337) - E(339) : E(461) - E(339);
        G = Positive(g) + E(919);
    }

    // Code 397 is the taxpayer's alone.
    const double O = E(173) + E(295) + (E.spouse() ? 0.0 : E(397)) + E(389) + E(391) + E(411) + E(423) + E(463) +
                     E(509) + E(521);
    const double K = std::min(E(421) + E(471) + E(513), O);
    double D = E(413) + E(423) + E(415) + E(467) + E(511) + E(515);
    if (X == 0) D += E(465);
    return Positive(A + B + W + C + G + P + O - K - D + X);
}

double OtherSourcesFrom2015(const Codes& E, double A) {
    const double B = E(291) + E(667) + E(671);
    const double wages = E(301) + E(303) + E(321);
    const double w = E(351) > 0 ? std::min(E(351), wages) : 0.0;
    const double W = Positive(E(301) + E(303) + E(321) + E(325) + E(307) + E(309) + E(311) + E(343) - w);
    const double C = E(401) + E(403) + E(409) + E(427);
    const double Cd = std::min(E(413) + E(415), C);
    const double G = E(461);
    const double Gd = std::min(E(465) + E(467), G);
    const double H = Positive(E(829) + E(865) - E(871));
    const double J = E(255) + E(251);
    const double L = E(395);
    const double O = E(171) + E(295) + E(669) + E(673) + E(263) + E(389) + E(391) + E(393) + E(411) + E(463);
    return Positive(A + B + W + C + G + H + J + L + Positive(O) - Cd - Gd);
}

}  // namespace

double TaxedIncome(const E1CodeTable& e1, int year, Person person) {
    const Codes E{e1, person};
    const double A = BlockAmount(E, year);
    return year >= 2015 ? OtherSourcesFrom2015(E, A) : OtherSourcesUpTo2014(E, year, A);
}

double SpecialIncome(const E1CodeTable& e1, int year, Person person) {
    const Codes E{e1, person};
    if (year < 2010) return E(659) + E(431);
    double sum = E(659) + E(619) + E(657) + E(617) + E(661) + E(431) + E(305) + E(335);
    // From 2015 code 667 is taxed income.
    if (year <= 2014) sum += E(667);
    return sum;
}

double RepatriatedCapital(const E1CodeTable& e1, Person person) { return e1[CodeOf(783, person)]; }

double AssetSaleIncome(const E1CodeTable& e1, Person person) { return e1[CodeOf(781, person)]; }

}  // namespace skartina
