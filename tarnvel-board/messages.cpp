// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "tarnvel-board/messages.h"

#include "board/text.h"

#include <cstring>

namespace board_cli {

namespace {

std::string Sig(double v, int digits = 4) {
    return board::FormatSignificant(v, digits);
}

} // namespace

std::string Describe(const board::BoardProblem& p) {
    using Kind = board::BoardProblem::Kind;
    switch (p.kind) {
    case Kind::None:
        return {};
    case Kind::SizeNotPositive:
        return "--board: every length must be > 0";
    case Kind::NoFrequency:
        return "no board frequency: give --fn, or --mass to estimate it";
    case Kind::FnNotPositive:
        return "--fn: fn must be > 0";
    case Kind::WeightNotPositive:
        return "--mass: the board's mass must be > 0";
    case Kind::ModulusNotPositive:
        return "--modulus: the modulus must be > 0";
    case Kind::PoissonOutOfRange:
        return "--poisson: Poisson's ratio " + board::FormatNumber(p.value) +
               " is not at least 0 and below 0.5";
    case Kind::DensityNotPositive:
        return "--density: the density must be > 0";
    case Kind::QBelowOne:
        return "--q: Q " + board::FormatNumber(p.value) +
               " is below 1, which would mean the board attenuates; a damping ratio zeta gives Q = 1/(2 "
               "zeta)";
    case Kind::RMinOutOfRange:
        return "--r-min: " + board::FormatNumber(p.value) + " is not between 0 and 1";
    case Kind::WeightBelowLaminate:
        return "--mass: " + Sig(p.value, 3) + " lb (" + Sig(p.value * board::kKilogramsPerPound * 1000.0, 3) +
               " g) is less than half the bare laminate's " + Sig(p.limit, 3) + " lb (" +
               Sig(p.limit * board::kKilogramsPerPound * 1000.0, 3) +
               " g) from --board and --density: check the mass, the board and their units";
    case Kind::FnBelowBand:
        return "fn " + Sig(p.value) + " Hz" + (p.estimated ? " (estimated from --mass)" : "") +
               " is below the profile's band, which starts at " + Sig(p.limit) +
               " Hz: Miles' equation needs the input level at fn";
    case Kind::FnNotFinite:
        return "the estimated fn is beyond the range of numbers: check --board and --mass";
    case Kind::Plate:
        return Describe(p.plate);
    }
    return "the board cannot be evaluated";
}

std::string Describe(const board::PlateProblem& p) {
    using Kind = board::PlateProblem::Kind;
    const auto at = [&] { return Sig(p.x) + " in, " + Sig(p.y) + " in"; };
    switch (p.kind) {
    case Kind::None:
        return {};
    case Kind::SizeNotPositive:
    case Kind::ThicknessNotPositive:
        return Describe(board::BoardProblem{board::BoardProblem::Kind::SizeNotPositive, 0.0, 0.0, false, {}});
    case Kind::WeightNotPositive:
        return Describe(
            board::BoardProblem{board::BoardProblem::Kind::WeightNotPositive, p.value, 0.0, false, {}});
    case Kind::ModulusNotPositive:
        return Describe(
            board::BoardProblem{board::BoardProblem::Kind::ModulusNotPositive, p.value, 0.0, false, {}});
    case Kind::PoissonOutOfRange:
        return Describe(
            board::BoardProblem{board::BoardProblem::Kind::PoissonOutOfRange, p.value, 0.0, false, {}});
    case Kind::OutlineInvalid:
        return "the board's outline " + std::to_string(p.index + 1) + " is not a polygon with an area";
    case Kind::PointOutside:
        return "--point: the support at " + at() + " is not on the board";
    case Kind::PointsTooClose:
        return "--point: supports " + std::to_string(p.index + 1) + " and " + std::to_string(p.other + 1) +
               " are at the same place";
    case Kind::MassOutside:
        return "a part's mass at " + at() + " is not on the board";
    case Kind::MassInvalid:
        return "a part's mass of " + board::FormatNumber(p.value) + " lb is not a mass";
    case Kind::MassesReachWeight:
        return "--mass: the parts' own masses, " + Sig(p.value, 3) + " lb (" +
               Sig(p.value * board::kKilogramsPerPound * 1000.0, 3) + " g), are not less than the board's " +
               Sig(p.limit, 3) + " lb (" + Sig(p.limit * board::kKilogramsPerPound * 1000.0, 3) + " g)";
    case Kind::RigidBody:
        return "the board is free to move as a rigid body: give --supports with an edge held, or --point at "
               "three places not on one line";
    case Kind::MeshInvalid:
    case Kind::NoElements:
        return "the plate model has no mesh to solve";
    case Kind::NotConverged:
        return "the plate model's eigen-solver found no first mode (mesh " + std::to_string(p.index) + " x " +
               std::to_string(p.other) + ")";
    }
    return "the plate model cannot be solved";
}

std::string Describe(const board::RowError& error) {
    if (error.kind == board::RowError::Kind::UnknownKind)
        return error.message + " (see tarnvel-board --help for the kinds)";
    if (error.kind == board::RowError::Kind::NoRule) {
        // The board library says how to add a rule; the program says where.
        std::string message = error.message;
        for (const char* ask : {"(add one)", "(add a rule with L)"})
            if (const std::size_t at = message.find(ask); at != std::string::npos)
                message.insert(at + std::strlen(ask) - 1, " with --rules");
        return message;
    }
    return error.message;
}

} // namespace board_cli
