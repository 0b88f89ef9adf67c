// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/analysis.h"

#include "board/text.h"
#include "board/units.h"

#include "calc/displacement.h"
#include "calc/evaluation.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace board {

const char kLifeAssumption[] =
    "Life assumes Steinberg's fatigue exponent 6.4 for leads and solder joints, anchored at 2e7 cycles "
    "where the board's 3-sigma displacement equals the part's allowable Z: N = 2e7 * (Z allowable / "
    "Z 3-sigma)^6.4 cycles, hours = N / (fn * 3600).";

const char* FnSourceName(FnSource source) {
    switch (source) {
    case FnSource::Given:
        return "given";
    case FnSource::Simple:
        return "simple";
    case FnSource::Clamped:
        return "clamped";
    }
    return "given";
}

bool Report::AllPass() const {
    return std::all_of(parts.begin(), parts.end(), [](const PartResult& p) { return p.pass; });
}

namespace {

bool Positive(double v) {
    return v > 0.0 && std::isfinite(v);
}

// sin(π·t) for t in (0, 1), reduced to the nearer quarter so that the centre gives exactly 1.
double SinPi(double t) {
    const double u = std::min(t, 1.0 - t);
    return u < 0.25 ? std::sin(kPi * u) : std::cos(kPi * (0.5 - u));
}

std::string Inches(double v) {
    return FormatSignificant(v, 4) + " in";
}

std::string Hz(double v) {
    return FormatSignificant(v, 4) + " Hz";
}

// The board's own inputs, checked; an empty text when they can be used.
std::string CheckBoard(const BoardInput& in) {
    if (!Positive(in.a) || !Positive(in.b) || !Positive(in.h))
        return "the board's length, width and thickness must be > 0";
    if (in.fn) {
        if (!Positive(*in.fn))
            return "fn must be > 0";
        return {};
    }
    if (!in.weight)
        return "no board frequency: give --fn, or --mass to estimate it";
    if (!Positive(*in.weight))
        return "the board's mass must be > 0";
    if (!Positive(in.modulus))
        return "the modulus must be > 0";
    if (!(in.poisson >= 0.0 && in.poisson < 0.5))
        return "Poisson's ratio must be at least 0 and below 0.5";
    return {};
}

} // namespace

std::optional<BoardEvaluator> BoardEvaluator::Make(const BoardInput& in, std::string& error) {
    error = CheckBoard(in);
    if (error.empty() && in.q.rule == Transmissibility::Rule::Fixed && !Positive(in.q.fixed))
        error = "Q must be > 0";
    if (!error.empty())
        return std::nullopt;

    BoardEvaluator out;
    out.input_ = in;
    BoardFigures& board = out.figures_;
    board.a = in.a;
    board.b = in.b;
    board.h = in.h;
    board.qRule = in.q.rule;
    double fn = 0.0;
    if (in.fn) {
        fn = *in.fn;
        board.fnFrom = FnSource::Given;
    } else {
        const Plate plate{in.a, in.b, in.h, *in.weight, in.modulus, in.poisson};
        fn = PlateFrequency(plate, in.supports);
        board.fnFrom = in.supports == Supports::Simple ? FnSource::Simple : FnSource::Clamped;
    }
    if (!(std::isfinite(fn) && in.psd.Covers(fn))) {
        error = "fn " + Hz(fn) + (in.fn ? "" : " (estimated)") + " is outside the profile's band, " +
                Hz(in.psd.Low()) + " to " + Hz(in.psd.High()) +
                ": Miles' equation needs the input level at fn";
        return std::nullopt;
    }
    board.response = MilesResponse(fn, in.q, in.psd);
    board.inputGrms = in.psd.Grms();
    if (calc::NeedsThicknessWarning(in.h))
        board.notes.push_back("h " + Inches(in.h) + " is above 0.5 in, beyond the criterion's usual range");
    return out;
}

bool BoardEvaluator::Evaluate(Part& part, PartResult& row, RowError& error) const {
    const BoardInput& in = input_;
    const double fn = figures_.response.fn;
    const double z3 = figures_.response.z3sigma;
    row.line = part.line;
    row.B = part.parallel == Edge::A ? in.a : in.b;
    row.L = part.L;
    row.C = part.C;
    row.notes = 0;
    error.line = part.line;
    if (part.r) {
        row.r = *part.r;
    } else {
        if (!(part.x > 0.0 && part.x < in.a) || !(part.y > 0.0 && part.y < in.b)) {
            error.message = "position x " + Inches(part.x) + ", y " + Inches(part.y) +
                            " is not inside the board (" + Inches(in.a) + " by " + Inches(in.b) + ")";
            return false;
        }
        row.r = SinPi(part.x / in.a) * SinPi(part.y / in.b);
    }

    // The dialog's own checks and formula.
    const char* bad = !(row.L > 0.0) ? "L" : !(row.C > 0.0) ? "C" : !(row.r > 0.0) ? "r" : nullptr;
    if (bad != nullptr) {
        error.message = std::string(bad) + " must be > 0";
        return false;
    }
    row.zAllow = calc::RelativeDisplacementLimit(row.B, in.h, row.L, row.C, row.r);
    if (!(std::isfinite(row.zAllow) && row.zAllow > 0.0)) {
        error.message = "the allowable displacement is not a finite number above 0";
        return false;
    }
    row.ref = std::move(part.ref);
    if (calc::NeedsRangeWarning(row.C))
        row.notes |= kNoteCOutsideRange;
    if (row.r < 0.5)
        row.notes |= kNoteRBelowHalf;
    if (row.r > 1.0)
        row.notes |= kNoteRAboveOne;
    row.margin = row.zAllow / z3;
    row.cycles = LifeCycles(row.zAllow, z3);
    row.hours = LifeHours(row.cycles, fn);
    row.pass = row.margin >= 1.0 && (!in.requiredHours || row.hours >= *in.requiredHours);
    if (row.margin >= 1.0 && !row.pass)
        row.notes |= kNoteLifeShort;
    return true;
}

Report BoardEvaluator::Start() const {
    const BoardInput& in = input_;
    Report report;
    report.board = figures_;
    report.requiredHours = in.requiredHours;
    report.assumptions.push_back(kLifeAssumption);
    report.assumptions.push_back(
        "Z 3-sigma is the board's centre displacement in its first mode by Miles' equation; each part's "
        "position enters through r.");
    switch (in.q.rule) {
    case Transmissibility::Rule::Sqrt:
        report.assumptions.push_back("Q = sqrt(fn), Steinberg's rule for circuit boards.");
        break;
    case Transmissibility::Rule::TwoSqrt:
        report.assumptions.push_back("Q = 2 sqrt(fn).");
        break;
    case Transmissibility::Rule::Fixed:
        report.assumptions.push_back("Q = " + FormatNumber(in.q.fixed) + ", given.");
        break;
    }
    if (figures_.fnFrom != FnSource::Given)
        report.assumptions.push_back(
            std::string("fn is estimated for a uniformly loaded plate with all four edges ") +
            (figures_.fnFrom == FnSource::Simple ? "simply supported (the exact first mode)"
                                                 : "clamped (Rayleigh's estimate, about 3 % above the exact "
                                                   "first mode of a square plate)") +
            ", E = " + FormatNumber(in.modulus) + " lb/in^2, nu = " + FormatNumber(in.poisson) + ".");
    report.assumptions.push_back("The input PSD is interpolated on log-log axes between its breakpoints.");
    return report;
}

void BoardEvaluator::Finish(Report& report) const {
    std::stable_sort(report.errors.begin(), report.errors.end(),
                     [](const RowError& x, const RowError& y) { return x.line < y.line; });
    std::optional<double> worst;
    for (const PartResult& p : report.parts)
        worst = worst ? std::min(*worst, p.zAllow) : p.zAllow;
    report.board.requiredFn.reset();
    if (worst)
        report.board.requiredFn = RequiredFrequency(*worst, input_.q, input_.psd, input_.requiredHours);
}

Analysis Analyse(const BoardInput& in, PartsList list) {
    Analysis out;
    const std::optional<BoardEvaluator> evaluator = BoardEvaluator::Make(in, out.error);
    if (!evaluator)
        return out;
    Report report = evaluator->Start();
    report.errors = std::move(list.errors);
    report.parts.reserve(list.parts.size());
    RowError error;
    for (Part& part : list.parts) {
        // Built in place, and taken back when the row turns out bad.
        PartResult& row = report.parts.emplace_back();
        if (!evaluator->Evaluate(part, row, error)) {
            report.parts.pop_back();
            report.errors.push_back(std::move(error));
        }
    }
    evaluator->Finish(report);
    out.report = std::move(report);
    return out;
}

namespace {

constexpr unsigned kNotes[] = {kNoteCOutsideRange, kNoteRBelowHalf, kNoteRAboveOne, kNoteLifeShort};

// One note's sentence appended to `out`; false when the note says nothing (a short life without a
// required life).
bool AppendNote(std::string& out, unsigned note, const PartResult& part,
                std::optional<double> requiredHours) {
    switch (note) {
    case kNoteCOutsideRange:
        out += "C ";
        AppendNumber(out, part.C);
        out += " is outside the typical range 0.75 to 2.25";
        return true;
    case kNoteRBelowHalf:
        out += "r " + FormatSignificant(part.r, 3) + " is below 0.5, the lowest the criterion tabulates";
        return true;
    case kNoteRAboveOne:
        out += "r " + FormatSignificant(part.r, 3) + " is above 1, the value at the board's centre";
        return true;
    case kNoteLifeShort:
        if (!requiredHours)
            return false;
        out += "life below the required " + FormatSignificant(*requiredHours, 6) + " hours";
        return true;
    default:
        return false;
    }
}

} // namespace

void AppendNoteTexts(std::string& out, const PartResult& part, std::optional<double> requiredHours,
                     std::string_view between) {
    bool first = true;
    for (unsigned note : kNotes) {
        if (!(part.notes & note))
            continue;
        const std::size_t before = out.size();
        if (!first)
            out.append(between);
        if (AppendNote(out, note, part, requiredHours))
            first = false;
        else
            out.resize(before);
    }
}

std::vector<std::string> NoteTexts(const PartResult& part, std::optional<double> requiredHours) {
    std::vector<std::string> out;
    std::string text;
    for (unsigned note : kNotes)
        if ((part.notes & note) && AppendNote(text, note, part, requiredHours))
            out.push_back(std::exchange(text, {}));
    return out;
}

} // namespace board
