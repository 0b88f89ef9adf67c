// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The required board frequency with and without a required life, against a dense scan of the band, and the
// rigid-body response of a board above the profile's band.
#include "board/psd.h"
#include "board/response.h"
#include "board/text.h"
#include "board/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const board::Psd& Named(std::string_view name) {
    for (const board::NamedProfile& p : board::NamedProfiles())
        if (p.name == name)
            return p.psd;
    throw std::logic_error("no profile " + std::string(name));
}

board::Psd Make(std::vector<board::Breakpoint> points) {
    std::string error;
    return *board::Psd::Make(std::move(points), error);
}

// Whether a board at f meets the margin and, when given, the life, computed by the life rule's own
// functions rather than the solver's power laws.
bool Passes(double f, double zAllow, const board::Transmissibility& q, const board::Psd& psd,
            std::optional<double> hours) {
    const double z3 = board::MilesResponse(f, q, psd).z3sigma;
    if (z3 > zAllow * (1 + 1e-9))
        return false;
    return !hours || board::LifeHours(board::LifeCycles(zAllow, z3), f) >= *hours * (1 - 1e-9);
}

// The required frequency lies between the highest of 20000 log-spaced frequencies of the band that fails
// and the next one above it; none failing, it is the band's foot. None when the top of the band fails.
TEST(RequiredFrequency, MatchesADenseScanOfTheBand) {
    const board::Psd flat = Make({{20.0, 0.04}, {2000.0, 0.04}});
    // A response that rises again at the top, so the passing frequencies are not one interval.
    const board::Psd bumpy =
        Make({{20.0, 0.01}, {100.0, 0.05}, {300.0, 0.002}, {1000.0, 2.0}, {2000.0, 2.0}});
    struct Profile {
        const char* name;
        const board::Psd& psd;
    };
    const std::vector<Profile> profiles{{"flat", flat},
                                        {"navmat", board::Navmat()},
                                        {"gevs-qual", Named("gevs-qual")},
                                        {"gevs-accept", Named("gevs-accept")},
                                        {"mil-std-810-integrity", Named("mil-std-810-integrity")},
                                        {"bumpy", bumpy}};
    const std::vector<board::Transmissibility> qs{
        {}, {board::Transmissibility::Rule::Fixed, 12.0}, {board::Transmissibility::Rule::TwoSqrt, 0.0}};
    const std::vector<std::optional<double>> hourses{std::nullopt, 1.0, 100.0, 10000.0, 1e7};
    constexpr int kPoints = 20000;
    for (const Profile& profile : profiles) {
        const board::Psd& psd = profile.psd;
        std::vector<double> scan(kPoints);
        for (int i = 0; i < kPoints; ++i)
            scan[static_cast<std::size_t>(i)] =
                psd.Low() * std::pow(psd.High() / psd.Low(), i / (kPoints - 1.0));
        scan.back() = psd.High();
        for (const board::Transmissibility& q : qs) {
            for (double z : {0.0005, 0.002, 0.005, 0.012, 0.05}) {
                for (const std::optional<double>& hours : hourses) {
                    const std::string what = std::string(profile.name) + " z " + board::FormatNumber(z) +
                                             " hours " + (hours ? board::FormatNumber(*hours) : "none") +
                                             " Q " + board::FormatNumber(q.At(100.0));
                    const auto f = board::RequiredFrequency(z, q, psd, hours);
                    if (!Passes(psd.High(), z, q, psd, hours)) {
                        EXPECT_FALSE(f) << what;
                        continue;
                    }
                    ASSERT_TRUE(f) << what;
                    std::size_t lastFail = kPoints;
                    for (std::size_t i = kPoints; i-- > 0;) {
                        if (!Passes(scan[i], z, q, psd, hours)) {
                            lastFail = i;
                            break;
                        }
                    }
                    if (lastFail == kPoints) {
                        EXPECT_LE(*f, scan[1]) << what;
                    } else {
                        EXPECT_GE(*f, scan[lastFail] * (1 - 1e-9)) << what;
                        EXPECT_LE(*f, scan[lastFail + 1] * (1 + 1e-9)) << what;
                    }
                }
            }
        }
    }
}

// NAVMAT with Q = √fn and a part allowed Z = 0.012 in: the margin alone asks some 170 Hz, and at 200 Hz
// the margin is 1.2, yet by Steinberg's life rule the part lasts only about 100 hours there. Asked for
// 10,000 hours, the board must be stiffer, and at the answer the part lasts exactly 10,000 hours.
TEST(RequiredFrequency, LifeDecidesAboveTheMarginsFrequency) {
    const board::Transmissibility q;
    const board::Psd& navmat = board::Navmat();
    const double z = 0.012;
    const auto marginOnly = board::RequiredFrequency(z, q, navmat);
    ASSERT_TRUE(marginOnly);
    EXPECT_LT(*marginOnly, 200.0);
    const double z3At200 = board::MilesResponse(200.0, q, navmat).z3sigma;
    EXPECT_GT(z / z3At200, 1.0) << "the margin holds at 200 Hz";
    EXPECT_LT(board::LifeHours(board::LifeCycles(z, z3At200), 200.0), 10000.0) << "the life does not";

    const auto withLife = board::RequiredFrequency(z, q, navmat, 10000.0);
    ASSERT_TRUE(withLife);
    EXPECT_GT(*withLife, 200.0);
    const double z3 = board::MilesResponse(*withLife, q, navmat).z3sigma;
    EXPECT_NEAR(board::LifeHours(board::LifeCycles(z, z3), *withLife) / 10000.0, 1.0, 1e-9);

    // A short life asks no more than the margin does; a life the top of the band cannot give, nothing.
    EXPECT_EQ(board::RequiredFrequency(z, q, navmat, 1e-3), marginOnly);
    EXPECT_FALSE(board::RequiredFrequency(z, q, navmat, 1e12));
}

// Above the band the board moves with its supports: the response is the input's overall level (NAVMAT's
// stated 6.06 G rms), and the displacement follows Steinberg's 9.8·G/fn² (g/(4π²) = 9.78 in·Hz²/g).
TEST(RigidBody, TheBoardFollowsTheInputAboveTheBand) {
    for (double fn : {2500.0, 5000.0}) {
        const board::Response r = board::RigidBodyResponse(fn, board::Navmat());
        EXPECT_EQ(board::FormatSignificant(r.grms, 3), "6.06") << fn;
        EXPECT_EQ(board::FormatSignificant(r.z1sigma * fn * fn / r.grms, 2), "9.8") << fn;
        EXPECT_EQ(r.z3sigma, 3.0 * r.z1sigma) << fn;
        EXPECT_EQ(r.fn, fn);
        EXPECT_EQ(r.q, 1.0);
        EXPECT_EQ(r.psd, 0.0);
    }
    // Twice the frequency, a quarter of the displacement.
    EXPECT_NEAR(board::RigidBodyResponse(5000.0, board::Navmat()).z1sigma /
                    board::RigidBodyResponse(2500.0, board::Navmat()).z1sigma,
                0.25, 1e-15);
}

} // namespace
