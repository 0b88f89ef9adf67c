// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The finite-element plate against published plate tables, the beam element's textbook matrices, the
// Kirchhoff energy of exact bending fields, Rayleigh's bound and the exact simply supported mode.
#include "board/plate_fe.h"
#include "board/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using board::EdgeSupport;
using board::kGravity;
using board::kPi;
using Kind = board::PlateProblem::Kind;

constexpr EdgeSupport S = EdgeSupport::Simple;
constexpr EdgeSupport C = EdgeSupport::Clamped;
constexpr EdgeSupport F = EdgeSupport::Free;

bool Within(double actual, double expected, double relative) {
    return std::abs(actual - expected) <= relative * std::abs(expected);
}

board::PlateModel Square(board::EdgeSupports edges) {
    board::PlateModel m;
    m.a = m.b = 10.0;
    m.h = 0.1;
    m.weight = 1.0;
    m.modulus = 2.0e6;
    m.poisson = 0.3;
    m.edges = edges;
    return m;
}

double Rigidity(const board::PlateModel& m) {
    return board::FlexuralRigidity({m.a, m.b, m.h, m.weight, m.modulus, m.poisson});
}

// λ = ω·a²·√(ρ/D), the frequency parameter of plate tables.
double Lambda(const board::PlateModel& m, double fn) {
    const double rho = m.weight / (kGravity * m.a * m.b);
    return 2.0 * kPi * fn * m.a * m.a * std::sqrt(rho / Rigidity(m));
}

board::PlateSolution Solve(const board::PlateModel& m, board::MeshOptions options = {}) {
    board::PlateProblem problem;
    const auto solution = board::SolvePlate(m, options, problem);
    EXPECT_TRUE(solution.has_value()) << "problem kind " << static_cast<int>(problem.kind);
    return solution.value_or(board::PlateSolution{});
}

board::MeshOptions FiniteElements() {
    board::MeshOptions o;
    o.exactWhenPossible = false;
    return o;
}

// The 1D Hermite matrices are the Euler–Bernoulli beam element's: Przemieniecki, "Theory of Matrix
// Structural Analysis" (1968): stiffness EI/ℓ³·[12 6ℓ −12 6ℓ; 6ℓ 4ℓ² −6ℓ 2ℓ²; …] and consistent mass
// ρAℓ/420·[156 22ℓ 54 −13ℓ; 22ℓ 4ℓ² 13ℓ −3ℓ²; …].
TEST(PlateFe, HermiteIntegralsAreTheBeamElementMatrices) {
    const double l = 0.7;
    const board::HermiteIntegrals h = board::Hermite(l);
    const double k2[16] = {12,  6 * l,  -12, 6 * l,  6 * l, 4 * l * l, -6 * l, 2 * l * l,
                           -12, -6 * l, 12,  -6 * l, 6 * l, 2 * l * l, -6 * l, 4 * l * l};
    const double m0[16] = {156, 22 * l, 54,  -13 * l, 22 * l,  4 * l * l,  13 * l,  -3 * l * l,
                           54,  13 * l, 156, -22 * l, -13 * l, -3 * l * l, -22 * l, 4 * l * l};
    // The geometric stiffness of a beam (Przemieniecki): 1/(30ℓ)·[36 3ℓ −36 3ℓ; 3ℓ 4ℓ² −3ℓ −ℓ²; …].
    const double k1[16] = {36,  3 * l,  -36, 3 * l,  3 * l, 4 * l * l, -3 * l, -l * l,
                           -36, -3 * l, 36,  -3 * l, 3 * l, -l * l,    -3 * l, 4 * l * l};
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(h.k2[i], k2[i] / (l * l * l), 1e-10) << i;
        EXPECT_NEAR(h.m0[i], m0[i] * l / 420.0, 1e-12) << i;
        EXPECT_NEAR(h.k1[i], k1[i] / (30.0 * l), 1e-12) << i;
    }
}

// A cell bent by an exact quadratic field stores the Kirchhoff energy U = D/2·∫(w_xx² + w_yy² +
// 2ν·w_xx·w_yy + 2(1−ν)·w_xy²), so uᵀKu = 2U; a rigid motion stores none. Checks the ordering of the
// tensor products and the coupling and twist terms one by one.
TEST(PlateFe, CellStoresTheKirchhoffEnergyOfExactBendingFields) {
    const double lx = 0.7, ly = 0.4, D = 3.0, nu = 0.3, area = lx * ly;
    const std::vector<double> k = board::CellStiffness(lx, ly, D, nu);
    struct Row {
        std::string name;
        double cxx, cyy, cxy, c1, cx, cy; // w = cxx·x² + cyy·y² + cxy·xy + c1 + cx·x + cy·y
        double twiceEnergy;
    };
    const Row rows[] = {
        {"x squared", 1, 0, 0, 0, 0, 0, D * 4.0 * area},
        {"y squared", 0, 1, 0, 0, 0, 0, D * 4.0 * area},
        {"twist xy", 0, 0, 1, 0, 0, 0, D * 2.0 * (1.0 - nu) * area},
        {"anticlastic x2 - y2", 1, -1, 0, 0, 0, 0, D * (8.0 - 8.0 * nu) * area},
        {"synclastic x2 + y2", 1, 1, 0, 0, 0, 0, D * (8.0 + 8.0 * nu) * area},
        {"rigid motion", 0, 0, 0, 1.5, 2.0, -3.0, 0.0},
    };
    for (const Row& r : rows) {
        // Cell dof 4·i + j: x-dof i (w or w_x at x = 0, then at lx), y-dof j likewise.
        double u[16];
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                const double x = i < 2 ? 0.0 : lx, y = j < 2 ? 0.0 : ly;
                const bool dx = i % 2 == 1, dy = j % 2 == 1;
                double v;
                if (!dx && !dy)
                    v = r.cxx * x * x + r.cyy * y * y + r.cxy * x * y + r.c1 + r.cx * x + r.cy * y;
                else if (dx && !dy)
                    v = 2.0 * r.cxx * x + r.cxy * y + r.cx;
                else if (!dx && dy)
                    v = 2.0 * r.cyy * y + r.cxy * x + r.cy;
                else
                    v = r.cxy;
                u[4 * i + j] = v;
            }
        double energy = 0.0;
        for (int i = 0; i < 16; ++i)
            for (int j = 0; j < 16; ++j)
                energy += u[i] * k[static_cast<std::size_t>(16 * i + j)] * u[j];
        EXPECT_NEAR(energy, r.twiceEnergy, 1e-9) << r.name;
    }
}

// Square plates, ν = 0.3, λ = ω·a²·√(ρ/D), to 0.5 %.
TEST(PlateFe, SquarePlatesMatchLeissasTables) {
    const double a = 10.0;
    const std::vector<board::PlatePoint> corners = {{0, 0}, {a, 0}, {0, a}, {a, a}};
    struct Row {
        std::string name;
        board::EdgeSupports edges; // y0, yb, x0, xa
        std::vector<board::PlatePoint> points;
        double lambda;
        std::string source;
    };
    const std::vector<Row> rows = {
        {"SSSS", {S, S, S, S}, {}, 2.0 * kPi * kPi, "exact, 2pi^2 (Leissa, NASA SP-160, 1969, eq. 4.26)"},
        {"CCCC", {C, C, C, C}, {}, 35.985, "Leissa, NASA SP-160, Table 4.23"},
        {"CSCS", {S, S, C, C}, {}, 28.951, "Leissa, NASA SP-160, Table 4.11 (exact)"},
        {"SFSF", {F, F, S, S}, {}, 9.631, "Leissa, NASA SP-160, Table 4.26 (exact)"},
        {"CFCF", {F, F, C, C}, {}, 22.17, "Leissa, NASA SP-160, Table 4.48"},
        {"CFFF", {C, F, F, F}, {}, 3.471, "Leissa, NASA SP-160, Table 4.51"},
        {"FFFF on four corner points", {F, F, F, F}, corners, 7.11, "Leissa, NASA SP-160, Table 4.82"},
    };
    for (const Row& r : rows) {
        board::PlateModel m = Square(r.edges);
        m.points = r.points;
        const board::PlateSolution s = Solve(m, FiniteElements());
        EXPECT_FALSE(s.exact) << r.name;
        EXPECT_TRUE(s.converged) << r.name;
        const double lambda = Lambda(m, s.fn);
        EXPECT_TRUE(Within(lambda, r.lambda, 0.005))
            << r.name << ": " << lambda << " against " << r.lambda << " (" << r.source << "), mesh " << s.nx
            << " x " << s.ny;
    }
}

// Steinberg, "Vibration Analysis for Electronic Equipment": a 6 × 4 × 0.1 in epoxy-glass board of 0.5 lb,
// simply supported, fn = 251.2 Hz; the exact solution and the finite elements.
TEST(PlateFe, SteinbergsSimplySupportedBoard) {
    board::PlateModel m;
    m.a = 6.0;
    m.b = 4.0;
    m.h = 0.1;
    m.weight = 0.5;
    const board::PlateSolution exact = Solve(m);
    EXPECT_TRUE(exact.exact);
    EXPECT_TRUE(Within(exact.fn, 251.2, 0.001)) << exact.fn;
    const board::PlateSolution fe = Solve(m, FiniteElements());
    EXPECT_FALSE(fe.exact);
    EXPECT_TRUE(Within(fe.fn, 251.2, 0.001)) << fe.fn;
    EXPECT_TRUE(Within(fe.fn, board::PlateFrequency({6.0, 4.0, 0.1, 0.5}, board::Supports::Simple), 0.002));
}

// A point mass m at the centre of a simply supported plate. Rayleigh's quotient with the exact mode
// φ = sin(πx/a)·sin(πy/b): K = D·π⁴·(1/a² + 1/b²)²·ab/4, M = ρ·ab/4 + m·φ(centre)², an upper bound,
// close while the mass is a small share of the board's (the mode barely changes), exact without it.
TEST(PlateFe, CentreMassStaysBelowRayleighsBoundWithTheExactMode) {
    struct Row {
        double share; // of the board's weight
        double within;
    };
    for (const Row row : {Row{0.0, 0.002}, Row{0.05, 0.01}, Row{0.1, 0.01}, Row{0.25, 0.03}}) {
        const double share = row.share;
        board::PlateModel m;
        m.a = 9.0;
        m.b = 7.0;
        m.h = 0.08;
        m.weight = 1.0;
        m.poisson = 0.3;
        m.masses = {{4.5, 3.5, share * m.weight}};
        const double D = Rigidity(m), area = m.a * m.b;
        const double rho = (1.0 - share) * m.weight / (kGravity * area);
        const double k =
            D * std::pow(kPi, 4) * std::pow(1.0 / (m.a * m.a) + 1.0 / (m.b * m.b), 2) * area / 4.0;
        const double mass = rho * area / 4.0 + share * m.weight / kGravity;
        const double rayleigh = std::sqrt(k / mass) / (2.0 * kPi);
        const board::PlateSolution s = Solve(m);
        EXPECT_FALSE(s.exact);
        EXPECT_LE(s.fn, rayleigh * (1.0 + 1e-4)) << share; // to the mesh's own error
        EXPECT_GT(s.fn, (1.0 - row.within) * rayleigh) << share;
    }
}

// The position factor on a simply supported rectangle is sin(πx/a)·sin(πy/b): 1 at the centre, 0.707 at
// (a/2, b/4), 0.5 at (a/4, b/4), the dialog's three positions; along either edge; the FE mode and the
// exact one.
TEST(PlateFe, PositionFactorIsTheSineProductOnASimplySupportedBoard) {
    board::PlateModel m;
    m.a = 9.0;
    m.b = 7.0;
    m.h = 0.08;
    m.weight = 1.0;
    struct Row {
        std::string name;
        double x, y, r;
    };
    const Row rows[] = {{"centre", 4.5, 3.5, 1.0},
                        {"(a/2, b/4)", 4.5, 1.75, std::sqrt(0.5)},
                        {"(a/4, b/4)", 2.25, 1.75, 0.5},
                        {"(a/4, b/2)", 2.25, 3.5, std::sqrt(0.5)}};
    for (const bool exact : {true, false}) {
        board::MeshOptions o;
        o.exactWhenPossible = exact;
        const board::PlateSolution s = Solve(m, o);
        EXPECT_EQ(s.exact, exact);
        for (const Row& r : rows)
            for (const board::Edge edge : {board::Edge::A, board::Edge::B}) {
                const double got = s.mode.PositionFactor(r.x, r.y, edge);
                EXPECT_TRUE(Within(got, r.r, 0.01)) << r.name << (exact ? " exact " : " FE ") << got;
                EXPECT_TRUE(Within(s.mode.Deflection(r.x, r.y), r.r, 0.01)) << r.name;
            }
        EXPECT_NEAR(s.mode.peakX(), 4.5, 0.05);
        EXPECT_NEAR(s.mode.peakY(), 3.5, 0.05);
        EXPECT_NEAR(s.mode.Deflection(s.mode.peakX(), s.mode.peakY()), 1.0, 1e-12);
        const std::vector<double> grid = s.mode.Grid(13, 9);
        ASSERT_EQ(grid.size(), 13u * 9u);
        for (int j = 0; j < 9; ++j)
            for (int i = 0; i < 13; ++i)
                EXPECT_NEAR(grid[static_cast<std::size_t>(13 * j + i)],
                            std::sin(kPi * i / 12.0) * std::sin(kPi * j / 8.0), 0.01);
    }
}

// A point support's spring is stiff enough: a hundred times stiffer changes fn by less than 10⁻⁵.
TEST(PlateFe, PointSupportSpringIsStiffEnough) {
    board::PlateModel m = Square({F, F, F, F});
    m.points = {{0.0, 0.0}, {10.0, 0.0}, {0.0, 10.0}, {10.0, 10.0}, {3.3, 6.1}};
    board::MeshOptions o;
    o.nx = o.ny = 16;
    double previous = 0.0;
    for (const double penalty : {1e6, 1e8}) {
        o.penalty = penalty;
        const double fn = Solve(m, o).fn;
        if (previous > 0.0) {
            EXPECT_TRUE(Within(fn, previous, 1e-5)) << fn << " against " << previous;
        }
        previous = fn;
    }
}

// A point support at the centre of a simply supported square: the (1,1) mode is held, the (1,2) and (2,1)
// modes have a nodal line through the centre and stay, so fn rises to theirs, λ = π²·(1² + 2²) (Leissa,
// NASA SP-160, eq. 4.26; one constraint raises the first eigenvalue at most to the second, Rayleigh's
// theorem of constraint). On meshes with the point at a node and inside a cell.
TEST(PlateFe, CentrePointSupportRaisesTheSquareToItsSecondMode) {
    board::PlateModel m = Square({S, S, S, S});
    m.points = {{5.0, 5.0}};
    struct Row {
        std::string name;
        int cells;
    };
    for (const Row& r : {Row{"at a node", 16}, Row{"inside a cell", 15}, Row{"refined", 0}}) {
        board::MeshOptions o;
        o.nx = o.ny = r.cells;
        const double lambda = Lambda(m, Solve(m, o).fn);
        EXPECT_TRUE(Within(lambda, 5.0 * kPi * kPi, 0.001)) << r.name << ": " << lambda;
    }
}

// The same rectangle drawn as a polygon: the same fn for each support of its boundary.
TEST(PlateFe, RectangleAsPolygonGivesTheRectanglesFrequency) {
    const board::Polygon outline = {{0, 0}, {9, 0}, {9, 7}, {0, 7}};
    struct Row {
        std::string name;
        EdgeSupport support;
        std::vector<board::PlatePoint> points;
    };
    const Row rows[] = {{"simply supported", S, {}},
                        {"clamped", C, {}},
                        {"free on four points", F, {{0.5, 0.5}, {8.5, 0.5}, {0.5, 6.5}, {8.5, 6.5}}}};
    board::MeshOptions o = FiniteElements();
    for (const Row& r : rows) {
        board::PlateModel rect;
        rect.a = 9.0;
        rect.b = 7.0;
        rect.h = 0.08;
        rect.weight = 1.0;
        rect.edges = {r.support, r.support, r.support, r.support};
        rect.points = r.points;
        board::PlateModel poly = rect;
        poly.a = poly.b = 0.0;
        poly.outline = {outline};
        poly.outlineSupport = r.support;
        const board::PlateSolution a = Solve(rect, o), b = Solve(poly, o);
        EXPECT_NEAR(b.fn, a.fn, 1e-9 * a.fn) << r.name;
        EXPECT_EQ(b.nx, a.nx) << r.name;
    }
}

// An L-shaped board, a 2 × 2 square less one 1 × 1 quadrant: fn converges as the mesh is refined, the
// differences between successive meshes shrinking; a hole lowers the clamped board's stiffness more than
// its mass.
TEST(PlateFe, LShapedBoardConverges) {
    const board::Polygon l = {{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}};
    struct Row {
        std::string name;
        EdgeSupport support;
        std::vector<board::PlatePoint> points;
    };
    const Row rows[] = {{"simply supported", S, {}},
                        {"clamped", C, {}},
                        {"free on points", F, {{0, 0}, {2, 0}, {0, 2}, {1, 1}}}};
    for (const Row& r : rows) {
        board::PlateModel m;
        m.outline = {l};
        m.outlineSupport = r.support;
        m.points = r.points;
        m.h = 0.03;
        m.weight = 0.05;
        std::vector<double> fns;
        for (const int n : {8, 16, 32, 64}) {
            board::MeshOptions o;
            o.nx = o.ny = n;
            fns.push_back(Solve(m, o).fn);
        }
        for (std::size_t i = 2; i < fns.size(); ++i)
            EXPECT_LT(std::abs(fns[i] - fns[i - 1]), std::abs(fns[i - 1] - fns[i - 2])) << r.name << " " << i;
        EXPECT_LT(std::abs(fns[3] - fns[2]), 0.01 * fns[3]) << r.name;
        // The missing quadrant has no cells and no deflection.
        board::MeshOptions o;
        o.nx = o.ny = 16;
        const board::PlateSolution s = Solve(m, o);
        EXPECT_EQ(s.mode.Deflection(1.5, 1.5), 0.0) << r.name;
        EXPECT_NE(s.mode.Deflection(0.5, 1.5), 0.0) << r.name;
    }
}

// Each refusal, with its figures.
TEST(PlateFe, RefusesWhatCannotBeSolved) {
    const auto base = [] {
        board::PlateModel m = Square({S, S, S, S});
        m.points = {{5, 5}};
        return m;
    };
    struct Row {
        std::string name;
        board::PlateModel model;
        Kind kind;
        board::MeshOptions options;
    };
    std::vector<Row> rows;
    const auto add = [&](std::string name, Kind kind, auto change, board::MeshOptions options = {}) {
        board::PlateModel m = base();
        change(m);
        rows.push_back({std::move(name), m, kind, options});
    };
    add("a zero", Kind::SizeNotPositive, [](board::PlateModel& m) { m.a = 0.0; });
    add("b not finite", Kind::SizeNotPositive, [](board::PlateModel& m) { m.b = NAN; });
    add("h negative", Kind::ThicknessNotPositive, [](board::PlateModel& m) { m.h = -0.1; });
    add("no weight", Kind::WeightNotPositive, [](board::PlateModel& m) { m.weight = 0.0; });
    add("E zero", Kind::ModulusNotPositive, [](board::PlateModel& m) { m.modulus = 0.0; });
    add("nu one half", Kind::PoissonOutOfRange, [](board::PlateModel& m) { m.poisson = 0.5; });
    add("nu negative", Kind::PoissonOutOfRange, [](board::PlateModel& m) { m.poisson = -0.1; });
    add("outline of two vertices", Kind::OutlineInvalid, [](board::PlateModel& m) {
        m.outline = {{{0, 0}, {1, 1}}};
    });
    add("outline without area", Kind::OutlineInvalid, [](board::PlateModel& m) {
        m.outline = {{{0, 0}, {1, 1}, {2, 2}}};
    });
    add("point outside", Kind::PointOutside, [](board::PlateModel& m) { m.points.push_back({10.5, 5.0}); });
    add("point in a hole", Kind::PointOutside, [](board::PlateModel& m) {
        m.outline = {{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {{4, 4}, {6, 4}, {6, 6}, {4, 6}}};
        m.outlineSupport = S;
    });
    add("two points at one place", Kind::PointsTooClose, [](board::PlateModel& m) {
        m.points.push_back({5.0, 5.0 + 1e-8});
    });
    add("negative mass", Kind::MassInvalid, [](board::PlateModel& m) { m.masses = {{1, 1, -0.1}}; });
    add("mass not finite", Kind::MassInvalid, [](board::PlateModel& m) { m.masses = {{1, 1, INFINITY}}; });
    add("mass outside", Kind::MassOutside, [](board::PlateModel& m) { m.masses = {{-1, 1, 0.1}}; });
    add("masses as heavy as the board", Kind::MassesReachWeight, [](board::PlateModel& m) {
        m.masses = {{1, 1, 0.6}, {2, 2, 0.4}};
    });
    add("all free", Kind::RigidBody, [](board::PlateModel& m) {
        m.edges = {F, F, F, F};
        m.points.clear();
    });
    add("one simply supported edge", Kind::RigidBody, [](board::PlateModel& m) {
        m.edges = {S, F, F, F};
        m.points.clear();
    });
    add("one edge and a point on its line", Kind::RigidBody, [](board::PlateModel& m) {
        m.edges = {S, F, F, F};
        m.points = {{5.0, 0.0}};
    });
    add("three points in a row", Kind::RigidBody, [](board::PlateModel& m) {
        m.edges = {F, F, F, F};
        m.points = {{1, 1}, {5, 5}, {9, 9}};
    });
    add("free polygon on two points", Kind::RigidBody, [](board::PlateModel& m) {
        m.outline = {{{0, 0}, {10, 0}, {10, 10}, {0, 10}}};
        m.outlineSupport = F;
        m.points = {{1, 1}, {9, 1}};
    });
    board::MeshOptions oneCount;
    oneCount.nx = 8;
    add(
        "one fixed count", Kind::MeshInvalid, [](board::PlateModel&) {}, oneCount);
    board::MeshOptions noTolerance;
    noTolerance.tolerance = 0.0;
    add(
        "no tolerance", Kind::MeshInvalid, [](board::PlateModel&) {}, noTolerance);
    // A sliver along the diagonal between the centres of an 8 x 7 mesh's cells.
    board::MeshOptions eightBySeven;
    eightBySeven.nx = 8;
    eightBySeven.ny = 7;
    add(
        "outline between the cells' centres", Kind::NoElements,
        [](board::PlateModel& m) {
            m.outline = {{{0, 0}, {10, 10}, {10, 9.99}}};
            m.outlineSupport = S;
            m.points.clear();
        },
        eightBySeven);
    for (const Row& r : rows) {
        board::PlateProblem problem;
        EXPECT_FALSE(board::SolvePlate(r.model, r.options, problem).has_value()) << r.name;
        EXPECT_EQ(problem.kind, r.kind) << r.name;
    }

    board::PlateProblem problem;
    board::PlateModel m = base();
    m.points.push_back({5.0 + 1e-8, 5.0});
    board::SolvePlate(m, {}, problem);
    EXPECT_EQ(problem.index, 0u);
    EXPECT_EQ(problem.other, 1u);
    m = base();
    m.masses = {{1, 1, 0.7}, {2, 2, 0.5}};
    board::SolvePlate(m, {}, problem);
    EXPECT_DOUBLE_EQ(problem.value, 1.2);
    EXPECT_DOUBLE_EQ(problem.limit, 1.0);

    // Held: one simply supported edge and a point off its line; a clamped edge alone.
    m = base();
    m.edges = {S, F, F, F};
    m.points = {{5.0, 9.0}};
    EXPECT_TRUE(board::SolvePlate(m, {}, problem).has_value());
    m.edges = {C, F, F, F};
    m.points.clear();
    EXPECT_TRUE(board::SolvePlate(m, {}, problem).has_value());
}

} // namespace
