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
    case FnSource::FiniteElements:
        return "finite-elements";
    }
    return "given";
}

std::string EdgeLetters(const EdgeSupports& edges) {
    std::string out;
    for (const EdgeSupport e : {edges.y0, edges.yb, edges.x0, edges.xa})
        out += e == EdgeSupport::Simple ? 'S' : e == EdgeSupport::Clamped ? 'C' : 'F';
    return out;
}

std::optional<EdgeSupports> ParseEdgeLetters(std::string_view letters) {
    if (letters.size() != 4)
        return std::nullopt;
    EdgeSupport read[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const char c = letters[i];
        if (c == 'S' || c == 's')
            read[i] = EdgeSupport::Simple;
        else if (c == 'C' || c == 'c')
            read[i] = EdgeSupport::Clamped;
        else if (c == 'F' || c == 'f')
            read[i] = EdgeSupport::Free;
        else
            return std::nullopt;
    }
    return EdgeSupports{read[0], read[1], read[2], read[3]};
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

std::string Pounds(double v) {
    return FormatSignificant(v, 3) + " lb";
}

using Problem = BoardProblem::Kind;

// The board's own inputs, checked: Kind::None when they can be used.
BoardProblem CheckBoard(const BoardInput& in) {
    auto problem = [](Problem kind, double value = 0.0) { return BoardProblem{kind, value, 0.0, false, {}}; };
    if (!Positive(in.a) || !Positive(in.b) || !Positive(in.h))
        return problem(Problem::SizeNotPositive);
    if (in.fn && !Positive(*in.fn))
        return problem(Problem::FnNotPositive, *in.fn);
    if (!in.fn && !in.weight)
        return problem(Problem::NoFrequency);
    if (in.weight) {
        if (!Positive(*in.weight))
            return problem(Problem::WeightNotPositive, *in.weight);
        if (!Positive(in.modulus))
            return problem(Problem::ModulusNotPositive, in.modulus);
        if (!(in.poisson >= 0.0 && in.poisson < 0.5))
            return problem(Problem::PoissonOutOfRange, in.poisson);
        if (!Positive(in.density))
            return problem(Problem::DensityNotPositive, in.density);
        const double laminate = in.a * in.b * in.h * in.density;
        if (*in.weight < kLightestShareOfLaminate * laminate)
            return {Problem::WeightBelowLaminate, *in.weight, laminate, false, {}};
    }
    if (in.q.rule == Transmissibility::Rule::Fixed && !(in.q.fixed >= 1.0 && std::isfinite(in.q.fixed)))
        return problem(Problem::QBelowOne, in.q.fixed);
    if (!(in.rMin >= 0.0 && in.rMin <= 1.0))
        return problem(Problem::RMinOutOfRange, in.rMin);
    return {};
}

} // namespace

bool IsFourSided(int kind) {
    if (kind < 0 || static_cast<std::size_t>(kind) >= std::size(kKindShortNames))
        return false;
    const std::string_view name = kKindShortNames[kind];
    return name == "bga" || name == "pga" || name == "lccc" || name == "lccc-j" || name == "fine-pitch";
}

std::optional<BoardEvaluator> BoardEvaluator::Make(const BoardInput& in, BoardProblem& problem) {
    problem = CheckBoard(in);
    if (problem.kind != Problem::None)
        return std::nullopt;

    BoardEvaluator out;
    out.input_ = in;
    BoardFigures& board = out.figures_;
    board.a = in.a;
    board.b = in.b;
    board.h = in.h;
    board.qRule = in.q.rule;
    board.requiredFnWithLife = in.requiredHours.has_value();
    // A board simply supported all round, its mass spread evenly, has the exact first mode; any other is
    // modelled, for its shape even where fn is given. Without a mass, the shape's is the bare laminate's
    // with the parts' own masses on it.
    const double laminate = in.a * in.b * in.h * in.density;
    if (in.weight)
        board.laminateWeight = laminate;
    const bool plain =
        EdgeLetters(in.edges) == "SSSS" && in.points.empty() && in.masses.empty() && in.outline.empty();
    std::optional<double> plate;
    if (plain && in.weight) {
        plate = PlateFrequency({in.a, in.b, in.h, *in.weight, in.modulus, in.poisson}, Supports::Simple);
    } else if (!plain) {
        PlateModel model;
        model.a = in.a;
        model.b = in.b;
        model.edges = in.edges;
        model.outline = in.outline;
        model.outlineSupport = in.outlineSupport;
        model.h = in.h;
        model.modulus = in.modulus;
        model.poisson = in.poisson;
        model.points = in.points;
        double parts = 0.0;
        for (const PartMass& m : in.masses) {
            parts += m.weight;
            // k × k points over the square, kept on the board; none falls on the part's centre.
            const double share = m.weight / (kMassSpread * kMassSpread);
            for (int i = 0; i < kMassSpread; ++i)
                for (int j = 0; j < kMassSpread; ++j) {
                    const double dx = ((i + 0.5) / kMassSpread - 0.5) * m.size;
                    const double dy = ((j + 0.5) / kMassSpread - 0.5) * m.size;
                    model.masses.push_back(
                        {std::clamp(m.x + dx, 0.0, in.a), std::clamp(m.y + dy, 0.0, in.b), share});
                }
        }
        model.weight = in.weight ? *in.weight : laminate + parts;
        // fn settles on a coarse mesh; the curvature that gives r wants one finer: start at 12 cells.
        MeshOptions mesh;
        mesh.startCells = 12;
        const std::optional<PlateSolution> solution = SolvePlate(model, mesh, problem.plate);
        if (!solution) {
            problem.kind = Problem::Plate;
            return std::nullopt;
        }
        board.plate = PlateFigures{solution->exact, solution->nx, solution->ny,  solution->converged,
                                   solution->fn,    !in.weight,   solution->mode};
        if (in.weight)
            plate = solution->fn;
    }
    double fn = 0.0;
    if (in.fn) {
        fn = *in.fn;
        board.fnFrom = FnSource::Given;
        board.plateFn = plate;
    } else {
        fn = *plate;
        board.fnFrom = board.plate && !board.plate->exact ? FnSource::FiniteElements : FnSource::Simple;
    }
    if (!std::isfinite(fn)) {
        problem = {Problem::FnNotFinite, fn, 0.0, !in.fn, {}};
        return std::nullopt;
    }
    if (fn < in.psd.Low()) {
        problem = {Problem::FnBelowBand, fn, in.psd.Low(), !in.fn, {}};
        return std::nullopt;
    }
    board.inputGrms = in.psd.Grms();
    if (fn > in.psd.High()) {
        board.rigidBody = true;
        board.response = RigidBodyResponse(fn, in.psd);
        board.notes.push_back("fn " + Hz(fn) + " is above the profile's band (to " + Hz(in.psd.High()) +
                              "): the board follows the input as a rigid body, its response the input's " +
                              FormatSignificant(board.inputGrms, 3) + " G rms");
    } else {
        board.response = MilesResponse(fn, in.q, in.psd);
    }
    if (board.plateFn && !(fn <= kFnDisagreement * *board.plateFn && fn * kFnDisagreement >= *board.plateFn))
        board.notes.push_back("the given fn " + Hz(fn) + " is " + FormatSignificant(fn / *board.plateFn, 3) +
                              " times the plate estimate " + Hz(*board.plateFn) +
                              " from the mass: check both");
    if (board.laminateWeight && *in.weight > kHeaviestTimesLaminate * *board.laminateWeight)
        board.notes.push_back("the mass " + Pounds(*in.weight) + " is more than " +
                              FormatNumber(kHeaviestTimesLaminate) + " times the bare laminate's " +
                              Pounds(*board.laminateWeight) + ": check the mass and its unit");
    if (board.response.q > kHighestUsualQ)
        board.notes.push_back("Q " + FormatSignificant(board.response.q, 4) + " is above " +
                              FormatNumber(kHighestUsualQ) + ", more than circuit boards show");
    if (calc::NeedsThicknessWarning(in.h))
        board.notes.push_back("h " + Inches(in.h) + " is above 0.5 in, beyond the criterion's usual range");
    return out;
}

bool BoardEvaluator::Evaluate(Part& part, PartResult& row, RowError& error) const {
    const BoardInput& in = input_;
    const double fn = figures_.response.fn;
    const double z3 = figures_.response.z3sigma;
    row.line = part.line;
    row.kind = part.kind;
    row.parallelGiven = std::move(part.parallelGiven);
    row.L = part.L;
    row.C = part.C;
    row.notes = 0;
    row.across = part.across;
    row.direction = part.direction;
    row.x.reset();
    row.y.reset();
    row.rComputed.reset();
    error.line = part.line;
    error.kind = RowError::Kind::Value;
    auto bad = [&](std::string message) {
        error.message = std::move(message);
        return false;
    };

    // The dialog's own checks.
    const char* notPositive = !(row.L > 0.0) ? "L" : !(row.C > 0.0) ? "C" : nullptr;
    if (notPositive != nullptr)
        return bad(std::string(notPositive) + " must be > 0");
    if (part.r) {
        row.r = *part.r;
        if (!(row.r > 0.0))
            return bad("r must be > 0");
        if (row.r > 1.0)
            return bad("r " + FormatNumber(row.r) + " is above 1, its value at the board's centre");
        if (part.weight)
            return bad("a part with a mass needs its position, x and y, for the plate model");
    } else {
        if (!(part.x > 0.0 && part.x < in.a) || !(part.y > 0.0 && part.y < in.b))
            return bad("position x " + Inches(part.x) + ", y " + Inches(part.y) +
                       " is not inside the board (" + Inches(in.a) + " by " + Inches(in.b) + ")");
        row.x = part.x;
        row.y = part.y;
    }
    // r from the position along an edge: the board's bending there, from its first mode; on a plain
    // simply supported board sin(πx/a)·sin(πy/b) itself.
    auto positionFactor = [&](Edge edge) {
        if (figures_.plate)
            return figures_.plate->mode.PositionFactor(part.x, part.y, edge);
        return SinPi(part.x / in.a) * SinPi(part.y / in.b);
    };

    // The edges the part may lie along: the given one, or both when it is not given or its joints run
    // both ways. Along an edge the part must fit: no longer than the edge, and inside the board from its
    // position.
    const bool fourSided = IsFourSided(part.kind);
    const bool both = fourSided || !part.parallel;
    auto fits = [&](Edge edge, std::string* why) {
        const double B = edge == Edge::A ? in.a : in.b;
        const char* name = edge == Edge::A ? "a" : "b";
        if (row.L > B) {
            if (why)
                *why = "L " + Inches(row.L) + " is longer than edge " + name + " (" + Inches(B) + ")";
            return false;
        }
        if (row.x) {
            const double at = edge == Edge::A ? *row.x : *row.y;
            if (at - row.L / 2.0 < 0.0 || at + row.L / 2.0 > B) {
                if (why)
                    *why = "the part, " + Inches(row.L) + " long along edge " + name + " at " +
                           (edge == Edge::A ? "x " : "y ") + Inches(at) + ", reaches past the board's edge";
                return false;
            }
        }
        return true;
    };
    std::string why;
    std::optional<Edge> chosen;
    double zAllow = 0.0;
    double rChosen = 0.0;
    std::optional<double> rComputed;
    for (Edge edge : {Edge::A, Edge::B}) {
        if (!both && edge != *part.parallel)
            continue;
        std::string whyNot;
        if (!fits(edge, &whyNot)) {
            if (why.empty())
                why = whyNot;
            else
                why += "; " + whyNot;
            continue;
        }
        const double B = edge == Edge::A ? in.a : in.b;
        std::optional<double> computed;
        double r = row.r;
        if (row.x) {
            computed = positionFactor(edge);
            r = std::max(*computed, in.rMin);
        }
        const double z = calc::RelativeDisplacementLimit(B, in.h, row.L, row.C, r);
        if (!chosen || z < zAllow) {
            chosen = edge;
            zAllow = z;
            rChosen = r;
            rComputed = computed;
        }
    }
    if (!chosen)
        return bad(why);
    row.r = rChosen;
    row.rComputed = rComputed;
    if (rComputed && *rComputed < in.rMin)
        row.notes |= kNoteRFloored;
    row.parallel = *chosen;
    row.bothEdges = both;
    row.B = *chosen == Edge::A ? in.a : in.b;
    row.zAllow = zAllow;
    if (!(std::isfinite(row.zAllow) && row.zAllow > 0.0))
        return bad("the allowable displacement is not a finite number above 0");
    row.ref = std::move(part.ref);
    if (part.bottom)
        row.notes |= kNoteBottomSide;
    if (fourSided)
        row.notes |= kNoteFourSided;
    else if (!part.parallel)
        row.notes |= kNoteEdgeNotGiven;
    if (calc::NeedsRangeWarning(row.C))
        row.notes |= kNoteCOutsideRange;
    if (row.r < 0.5)
        row.notes |= kNoteRBelowHalf;
    if (row.r > 1.0)
        row.notes |= row.rComputed ? kNoteBendsMore : kNoteRAboveOne;
    row.margin = row.zAllow / z3;
    row.cycles = LifeCycles(row.zAllow, z3);
    row.hours = LifeHours(row.cycles, fn);
    row.pass = row.margin >= 1.0 && (!in.requiredHours || row.hours >= *in.requiredHours);
    if (row.margin >= 1.0 && !row.pass)
        row.notes |= kNoteLifeShort;
    return true;
}

std::string BoardEvaluator::PlateAssumption() const {
    const BoardInput& in = input_;
    const std::string material =
        ", E = " + FormatNumber(in.modulus) + " lb/in^2, nu = " + FormatNumber(in.poisson);
    if (!figures_.plate)
        return "The board is a uniformly loaded plate with all four edges simply supported: its first mode "
               "is "
               "exact" +
               material + ".";
    const PlateFigures& p = *figures_.plate;
    std::string out =
        "The board is a Kirchhoff plate, edges " + EdgeLetters(in.edges) +
        " (a edges at y = 0 and b, then b edges at x = 0 and a; S simply supported, C clamped, F "
        "free)";
    if (!in.points.empty())
        out +=
            ", " + std::to_string(in.points.size()) + " point support" + (in.points.size() == 1 ? "" : "s");
    if (!in.masses.empty())
        out += ", " + std::to_string(in.masses.size()) + " part mass" + (in.masses.size() == 1 ? "" : "es") +
               " lumped where the parts sit and the rest of the mass spread evenly";
    out += material;
    if (p.exact)
        out += "; its first mode is exact (Navier)";
    else
        out += "; its first mode by finite elements (Bogner-Fox-Schmit cells, " + std::to_string(p.nx) +
               " x " + std::to_string(p.ny) +
               (p.converged ? ", refined until fn changed by less than 0.2 %)"
                            : ", the finest mesh tried; fn still changed by 0.2 % or more)");
    if (p.weightAssumed)
        out += "; with no mass given, the shape is that of the bare laminate carrying the parts' masses";
    return out + ".";
}

Report BoardEvaluator::Start() const {
    const BoardInput& in = input_;
    Report report;
    report.input = in;
    report.board = figures_;
    report.requiredHours = in.requiredHours;
    report.assumptions.push_back(kLifeAssumption);
    report.assumptions.push_back(
        "Z 3-sigma is the displacement of the board's first mode at its peak by Miles' equation; each part's "
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
    report.assumptions.push_back(PlateAssumption());
    const std::string floor = " and never less than " + FormatNumber(in.rMin) +
                              (in.rMin == 0.5 ? ", the lowest the criterion tabulates." : ", as given.");
    if (figures_.plate)
        report.assumptions.push_back("A part placed by x and y takes r = |d2w/ds2| B^2 / pi^2 from the "
                                     "board's first mode w (peak 1): its "
                                     "bending along the part's edge s, relative to a simply supported "
                                     "half-sine over B; above 1 where the "
                                     "board bends more than at a simply supported board's centre," +
                                     floor);
    else
        report.assumptions.push_back("A part placed by x and y takes r = sin(pi x / a) sin(pi y / b), the "
                                     "simply supported first mode's "
                                     "shape," +
                                     floor);
    report.assumptions.push_back(
        "A part whose edge is not given, and every four-sided package (bga, pga, "
        "lccc, lccc-j, fine-pitch), is evaluated along both board edges, each with its "
        "own r, the worse kept.");
    if (figures_.plateFn)
        report.assumptions.push_back("fn is the given one; the plate estimate " +
                                     FormatSignificant(*figures_.plateFn, 4) +
                                     " Hz is shown beside it as a cross-check.");
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
    report.board.requiredFnWithLife = input_.requiredHours.has_value();
}

Analysis Analyse(const BoardInput& in, PartsList list) {
    Analysis out;
    const std::optional<BoardEvaluator> evaluator = BoardEvaluator::Make(in, out.problem);
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

constexpr unsigned kNotes[] = {kNoteBottomSide, kNoteEdgeNotGiven, kNoteFourSided,
                               kNoteRFloored,   kNoteBendsMore,    kNoteCOutsideRange,
                               kNoteRBelowHalf, kNoteRAboveOne,    kNoteLifeShort};

const char* EdgeName(Edge edge) {
    return edge == Edge::A ? "a" : "b";
}

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
    case kNoteBottomSide:
        out += "bottom side";
        return true;
    case kNoteEdgeNotGiven:
        out += "parallel not given: evaluated along both edges, the worse (";
        out += EdgeName(part.parallel);
        out += ") kept";
        return true;
    case kNoteFourSided:
        out += "four-sided package: evaluated along both edges, the worse (";
        out += EdgeName(part.parallel);
        out += ") kept";
        return true;
    case kNoteRFloored:
        out += "r " + FormatSignificant(part.rComputed.value_or(part.r), 3) +
               " from the position is below the floor " + FormatSignificant(part.r, 3) + ", which is used";
        return true;
    case kNoteBendsMore:
        out +=
            "r " + FormatSignificant(part.r, 3) +
            " from the board's bending is above 1: it bends more here than a simply supported board at its "
            "centre";
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
