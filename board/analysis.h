// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A whole board: every part's allowable displacement by the dialog's own calculation, the board's
// response to the random input, each part's margin and fatigue life, and the board frequency it needs.
#pragma once

#include "board/parts.h"
#include "board/plate.h"
#include "board/plate_fe.h"
#include "board/psd.h"
#include "board/response.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace board {

// A heavy part's own mass, spread evenly over a square of side L centred where it sits: a mass at one point
// would bend a plate without bound under it.
struct PartMass {
    double x = 0.0, y = 0.0; // inch
    double weight = 0.0;     // lb
    double size = 0.0;       // the part's length L, inch
};

// Points per side of a part's square over which its mass is spread.
inline constexpr int kMassSpread = 4;

struct BoardInput {
    double a = 0.0, b = 0.0, h = 0.0; // inch
    std::optional<double> fn;         // Hz, when known (measured, or from an FEA run)
    std::optional<double> weight;     // lb, for the estimate when fn is not known
    EdgeSupports edges;               // simply supported all round by default
    std::vector<PlatePoint> points;   // point supports: screws, standoffs
    std::vector<PartMass> masses;     // the parts' own masses, where they sit; part of `weight`
    // The board's outline from an ECAD file, when it is not the rectangle a × b: the outer contour first,
    // then cutouts, inch, within 0 ≤ x ≤ a, 0 ≤ y ≤ b; its whole boundary held as `outlineSupport`.
    std::vector<Polygon> outline;
    EdgeSupport outlineSupport = EdgeSupport::Free;
    double modulus = kEpoxyGlassModulus;
    double poisson = kEpoxyGlassPoisson;
    Transmissibility q;
    Psd psd = Navmat();
    std::optional<double> requiredHours;
    double density = kFr4Density; // of the bare laminate, lb/in³, for the check of the mass
    double rMin = 0.5;            // the floor of an r computed from a position
};

// Why a board cannot be evaluated at all: a kind and its figures, for the program to phrase.
struct BoardProblem {
    enum class Kind {
        None,
        SizeNotPositive,   // a, b or h not above 0
        NoFrequency,       // neither fn nor the weight to estimate it
        FnNotPositive,     // value: fn
        WeightNotPositive, // value: the weight, lb
        ModulusNotPositive,
        PoissonOutOfRange, // value: ν, not in [0, 0.5)
        DensityNotPositive,
        QBelowOne,           // value: Q
        RMinOutOfRange,      // value: the floor, not in [0, 1]
        WeightBelowLaminate, // value: the weight, limit: the bare laminate's weight, both lb
        FnBelowBand,         // value: fn, limit: the band's lowest frequency; estimated: fn is the plate's
        FnNotFinite,         // the estimate is beyond the range of numbers
        Plate,               // the plate model cannot be solved: `plate` says why
    };
    Kind kind = Kind::None;
    double value = 0.0;
    double limit = 0.0;
    bool estimated = false;
    PlateProblem plate;
};

// "SSFF": the four edges' letters, S, C or F, in EdgeSupports' order.
std::string EdgeLetters(const EdgeSupports& edges);
// Reads four such letters (any case); nullopt when they are not.
std::optional<EdgeSupports> ParseEdgeLetters(std::string_view letters);

// A populated board may weigh no less than this share of its bare laminate, and is noted above the other.
inline constexpr double kLightestShareOfLaminate = 0.5;
inline constexpr double kHeaviestTimesLaminate = 20.0;
// A given fn further than this factor from the plate estimate is noted.
inline constexpr double kFnDisagreement = 2.0;
// Q above this is noted: more than circuit boards show.
inline constexpr double kHighestUsualQ = 50.0;

// The four-sided packages, whose joints run along both edges: bga, pga, lccc, lccc-j and fine-pitch.
bool IsFourSided(int kind);

// Where fn came from: given; the exact first mode of a simply supported rectangle with its mass spread
// evenly; or the plate model by finite elements.
enum class FnSource { Given, Simple, FiniteElements };
const char* FnSourceName(FnSource source); // "given", "simple", "finite-elements"

// How the board's first mode was found, when the plate was modelled.
struct PlateFigures {
    bool exact = false;         // the Navier solution
    int nx = 0, ny = 0;         // the finite-element mesh, cells
    bool converged = false;     // the last doubling of the mesh changed fn by less than 0.2 %
    double fn = 0.0;            // the model's own fn, Hz (for its weight, given or assumed)
    bool weightAssumed = false; // no mass given: the bare laminate and the parts' masses, for the shape
    PlateMode mode;
};

struct BoardFigures {
    double a = 0.0, b = 0.0, h = 0.0;
    FnSource fnFrom = FnSource::Given;
    Transmissibility::Rule qRule = Transmissibility::Rule::Sqrt;
    Response response;
    double inputGrms = 0.0;
    std::optional<double> requiredFn;     // for the worst part; none when the top of the band fails
    bool requiredFnWithLife = false;      // the required fn holds the required life too, not the margin alone
    std::optional<double> plateFn;        // the plate estimate beside a given fn, as a cross-check
    std::optional<double> laminateWeight; // lb, the bare laminate a·b·h·density, when a mass is given
    bool rigidBody = false; // fn above the profile's band: the board follows the input as a rigid body
    std::optional<PlateFigures> plate; // the plate model, unless the board is a plain simply supported one
    std::vector<std::string> notes;
};

struct PartResult {
    std::size_t line = 0;
    std::string ref;
    int kind = -1;                   // the component table's row C came from, or −1 when C was given
    std::string parallelGiven;       // the row's parallel cell as written, empty when not given
    Edge parallel = Edge::A;         // the edge used: the given one, or the worse of the two
    bool bothEdges = false;          // evaluated along both edges, the worse kept
    std::optional<double> x, y;      // inch, when the part was placed by position
    std::optional<double> rComputed; // r from the position, before the floor
    double B = 0.0, L = 0.0, C = 0.0, r = 0.0; // r as used
    double zAllow = 0.0;                       // inch, 3σ, 2×10⁷ cycles
    double margin = 0.0;                       // zAllow / the board's Z3σ
    double cycles = 0.0;
    double hours = 0.0;
    bool pass = false;
    unsigned notes = 0;                      // PartNote flags
    std::optional<double> across, direction; // the body as the layout draws it (Part's), where it does
};

// What a part's row notes besides its figures.
enum PartNote : unsigned {
    kNoteCOutsideRange = 1u << 0, // C outside 0.75 to 2.25, the dialog's range warning
    kNoteRBelowHalf = 1u << 1,    // r below 0.5, the lowest the criterion tabulates
    kNoteLifeShort = 1u << 2,     // the margin holds but the life is below the required hours
    kNoteRAboveOne = 1u << 3,     // r above 1, the value at the board's centre
    kNoteRFloored = 1u << 4,      // r from the position was below the floor, which was used instead
    kNoteEdgeNotGiven = 1u << 5,  // no parallel given: both edges evaluated, the worse kept
    kNoteFourSided = 1u << 6,     // a four-sided package: both edges evaluated, the worse kept
    kNoteBendsMore = 1u << 7,     // r from the board's bending above 1: it bends more there than a
                                  // simply supported board at its centre
    kNoteBottomSide = 1u << 8,    // placed on the bottom side, evaluated like a top-side part
};

struct Report {
    BoardInput input; // as used
    BoardFigures board;
    std::vector<PartResult> parts; // input order
    std::vector<RowError> errors;  // rows that could not be read or evaluated, in line order
    std::vector<std::string> assumptions;
    std::optional<double> requiredHours;

    bool AllPass() const;
};

// A board prepared for its parts: its frequency, its response, its notes.
class BoardEvaluator {
public:
    // nullopt, and what is wrong, when the board cannot be evaluated at all: no fn or mass, fn below the
    // profile's band, a size not above 0, a mass too light for its laminate, Q below 1.
    static std::optional<BoardEvaluator> Make(const BoardInput& input, BoardProblem& problem);

    const BoardFigures& figures() const { return figures_; }

    // One part against the board: true with its row (the part's ref is moved into it), or false with
    // what makes it a bad row (a part that does not fit on the board, a value not above 0). A part whose
    // edge is not given, and a four-sided package, is evaluated along both edges, the worse kept.
    bool Evaluate(Part& part, PartResult& row, RowError& error) const;

    // A report with the board's figures and the assumptions, and no parts yet.
    Report Start() const;
    // Puts the errors in line order and works out the board frequency the worst part needs.
    void Finish(Report& report) const;

    // How the board's first mode was found, in one sentence.
    std::string PlateAssumption() const;

private:
    BoardEvaluator() = default;
    BoardInput input_;
    BoardFigures figures_;
};

struct Analysis {
    std::optional<Report> report;
    BoardProblem problem; // the board cannot be evaluated at all
};

// A whole list at once.
Analysis Analyse(const BoardInput& input, PartsList list);

// The notes of a part's row as sentences.
std::vector<std::string> NoteTexts(const PartResult& part, std::optional<double> requiredHours);

// The same sentences appended to `out` with `between` between them.
void AppendNoteTexts(std::string& out, const PartResult& part, std::optional<double> requiredHours,
                     std::string_view between);

// The assumption behind every life figure, in one sentence.
extern const char kLifeAssumption[];

} // namespace board
