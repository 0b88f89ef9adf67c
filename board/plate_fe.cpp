// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/plate_fe.h"

#include "board/units.h"

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <Spectra/MatOp/SparseSymMatProd.h>
#include <Spectra/SymGEigsShiftSolver.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <limits>

namespace board {

namespace {

// Nodal dof of a cell dof: corner (i, j) of the cell and the kind (0 w, 1 w_x, 2 w_y, 3 w_xy).
struct CellDof {
    int i, j, kind;
};

CellDof DofOf(std::size_t k) {
    const int ix = static_cast<int>(k / 4), iy = static_cast<int>(k % 4);
    return {ix / 2, iy / 2, ix % 2 + 2 * (iy % 2)};
}

} // namespace

struct PlateMesh {
    double x0 = 0.0, y0 = 0.0, hx = 0.0, hy = 0.0;
    int nx = 0, ny = 0;
    std::vector<char> kept; // per cell

    std::size_t Cell(int i, int j) const {
        return static_cast<std::size_t>(j) * static_cast<std::size_t>(nx) + static_cast<std::size_t>(i);
    }
    std::size_t Node(int i, int j) const {
        return static_cast<std::size_t>(j) * static_cast<std::size_t>(nx + 1) + static_cast<std::size_t>(i);
    }
    std::size_t Nodes() const { return static_cast<std::size_t>(nx + 1) * static_cast<std::size_t>(ny + 1); }
    bool Kept(int i, int j) const { return i >= 0 && j >= 0 && i < nx && j < ny && kept[Cell(i, j)] != 0; }
    // The global dof of cell dof k of cell (i, j).
    std::size_t Dof(int i, int j, std::size_t k) const {
        const CellDof d = DofOf(k);
        return 4 * Node(i + d.i, j + d.j) + static_cast<std::size_t>(d.kind);
    }
};

double SignedArea(const Polygon& polygon) {
    double area = 0.0;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++)
        area += polygon[j].x * polygon[i].y - polygon[i].x * polygon[j].y;
    return area / 2.0;
}

namespace {

using SparseMatrix = Eigen::SparseMatrix<double>;
using Vector = Eigen::VectorXd;

// The cubic Hermite functions on [0, ℓ] at ξ = x/ℓ, dofs (w0, w0', w1, w1'), and their x-derivatives.
struct Hermite1D {
    std::array<double, 4> n, d1, d2;
};

Hermite1D HermiteAt(double xi, double l) {
    const double xi2 = xi * xi, xi3 = xi2 * xi;
    Hermite1D f;
    f.n = {1.0 - 3.0 * xi2 + 2.0 * xi3, l * (xi - 2.0 * xi2 + xi3), 3.0 * xi2 - 2.0 * xi3, l * (xi3 - xi2)};
    f.d1 = {6.0 * (xi2 - xi) / l, 1.0 - 4.0 * xi + 3.0 * xi2, 6.0 * (xi - xi2) / l, 3.0 * xi2 - 2.0 * xi};
    f.d2 = {(12.0 * xi - 6.0) / (l * l), (6.0 * xi - 4.0) / l, (6.0 - 12.0 * xi) / (l * l),
            (6.0 * xi - 2.0) / l};
    return f;
}

// The cell's 16 shape functions at a point and their derivatives, in the cell's dof order.
struct CellFunctions {
    std::array<double, 16> n, dx, dy, dxx, dyy, dxy;
};

CellFunctions CellAt(double xi, double eta, double lx, double ly) {
    const Hermite1D fx = HermiteAt(xi, lx), fy = HermiteAt(eta, ly);
    CellFunctions c;
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t j = 0; j < 4; ++j) {
            const std::size_t k = 4 * i + j;
            c.n[k] = fx.n[i] * fy.n[j];
            c.dx[k] = fx.d1[i] * fy.n[j];
            c.dy[k] = fx.n[i] * fy.d1[j];
            c.dxx[k] = fx.d2[i] * fy.n[j];
            c.dyy[k] = fx.n[i] * fy.d2[j];
            c.dxy[k] = fx.d1[i] * fy.d1[j];
        }
    return c;
}

// A cell and the local coordinates of a point in it.
struct Located {
    int i = 0, j = 0;
    double xi = 0.0, eta = 0.0;
};

// The kept cell holding (x, y), or the kept cell nearest to it with the point clamped into it.
Located Locate(const PlateMesh& mesh, double x, double y) {
    const auto index = [](double f, int n) { return std::clamp(static_cast<int>(std::floor(f)), 0, n - 1); };
    const double fx = (x - mesh.x0) / mesh.hx, fy = (y - mesh.y0) / mesh.hy;
    int ci = index(fx, mesh.nx), cj = index(fy, mesh.ny);
    if (!mesh.Kept(ci, cj)) {
        double best = std::numeric_limits<double>::infinity();
        for (int j = 0; j < mesh.ny; ++j)
            for (int i = 0; i < mesh.nx; ++i) {
                if (!mesh.Kept(i, j))
                    continue;
                const double dx = (i + 0.5 - fx) * mesh.hx, dy = (j + 0.5 - fy) * mesh.hy;
                const double d = dx * dx + dy * dy;
                if (d < best) {
                    best = d;
                    ci = i;
                    cj = j;
                }
            }
    }
    return {ci, cj, std::clamp(fx - ci, 0.0, 1.0), std::clamp(fy - cj, 0.0, 1.0)};
}

// Even-odd rule.
bool InsidePolygon(const Polygon& polygon, double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const PlatePoint& p = polygon[i];
        const PlatePoint& q = polygon[j];
        if ((p.y > y) != (q.y > y) && x < (q.x - p.x) * (y - p.y) / (q.y - p.y) + p.x)
            inside = !inside;
    }
    return inside;
}

double DistanceToBoundary(const Polygon& polygon, double x, double y) {
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const double ex = polygon[i].x - polygon[j].x, ey = polygon[i].y - polygon[j].y;
        const double len2 = ex * ex + ey * ey;
        double t = len2 > 0.0 ? ((x - polygon[j].x) * ex + (y - polygon[j].y) * ey) / len2 : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        best = std::min(best, std::hypot(x - polygon[j].x - t * ex, y - polygon[j].y - t * ey));
    }
    return best;
}

// The board as the solver sees it: an outline (the rectangle's too) and its bounding box.
struct Board {
    std::vector<Polygon> outline;
    bool rectangle = true;
    double x0 = 0.0, y0 = 0.0, width = 0.0, height = 0.0;

    // Inside or on the boundary (within the tolerance), not inside a hole.
    bool Holds(double x, double y) const {
        const Polygon& outer = outline.front();
        if (!InsidePolygon(outer, x, y) && DistanceToBoundary(outer, x, y) > kPointTolerance)
            return false;
        for (std::size_t h = 1; h < outline.size(); ++h)
            if (InsidePolygon(outline[h], x, y) && DistanceToBoundary(outline[h], x, y) > kPointTolerance)
                return false;
        return true;
    }
    bool KeepsCentre(double x, double y) const {
        if (!InsidePolygon(outline.front(), x, y))
            return false;
        for (std::size_t h = 1; h < outline.size(); ++h)
            if (InsidePolygon(outline[h], x, y))
                return false;
        return true;
    }
};

bool Finite(double v) {
    return std::isfinite(v);
}

// Whether the supports hold the board against every rigid-body motion.
bool Held(const PlateModel& model, const Board& board) {
    std::vector<PlatePoint> held = model.points;
    if (board.rectangle) {
        const EdgeSupport edges[] = {model.edges.y0, model.edges.yb, model.edges.x0, model.edges.xa};
        const PlatePoint ends[4][2] = {{{0, 0}, {model.a, 0}},
                                       {{0, model.b}, {model.a, model.b}},
                                       {{0, 0}, {0, model.b}},
                                       {{model.a, 0}, {model.a, model.b}}};
        for (int e = 0; e < 4; ++e) {
            if (edges[e] == EdgeSupport::Clamped)
                return true;
            if (edges[e] == EdgeSupport::Simple)
                held.insert(held.end(), {ends[e][0], ends[e][1]});
        }
    } else if (model.outlineSupport == EdgeSupport::Clamped) {
        return true;
    } else if (model.outlineSupport == EdgeSupport::Simple) {
        held.insert(held.end(), board.outline.front().begin(), board.outline.front().end());
    }
    if (held.size() < 3)
        return false;
    const PlatePoint p0 = held.front();
    PlatePoint p1 = p0;
    double far = 0.0;
    for (const PlatePoint& p : held) {
        const double d = std::hypot(p.x - p0.x, p.y - p0.y);
        if (d > far) {
            far = d;
            p1 = p;
        }
    }
    if (far <= kPointTolerance)
        return false;
    for (const PlatePoint& p : held) {
        const double cross = (p1.x - p0.x) * (p.y - p0.y) - (p1.y - p0.y) * (p.x - p0.x);
        if (std::abs(cross) / far > kPointTolerance)
            return true;
    }
    return false;
}

bool Refuse(PlateProblem& problem, PlateProblem::Kind kind, double value = 0.0) {
    problem = {};
    problem.kind = kind;
    problem.value = value;
    return false;
}

bool Check(const PlateModel& model, const MeshOptions& options, Board& board, PlateProblem& problem) {
    using Kind = PlateProblem::Kind;
    if (model.outline.empty()) {
        if (!Finite(model.a) || !Finite(model.b) || model.a <= 0.0 || model.b <= 0.0)
            return Refuse(problem, Kind::SizeNotPositive,
                          model.a <= 0.0 || !Finite(model.a) ? model.a : model.b);
        board.outline = {{{0.0, 0.0}, {model.a, 0.0}, {model.a, model.b}, {0.0, model.b}}};
        board.rectangle = true;
    } else {
        board.outline = model.outline;
        board.rectangle = false;
    }
    if (!Finite(model.h) || model.h <= 0.0)
        return Refuse(problem, Kind::ThicknessNotPositive, model.h);
    if (!Finite(model.weight) || model.weight <= 0.0)
        return Refuse(problem, Kind::WeightNotPositive, model.weight);
    if (!Finite(model.modulus) || model.modulus <= 0.0)
        return Refuse(problem, Kind::ModulusNotPositive, model.modulus);
    if (!Finite(model.poisson) || model.poisson < 0.0 || model.poisson >= 0.5)
        return Refuse(problem, Kind::PoissonOutOfRange, model.poisson);

    double xmin = std::numeric_limits<double>::infinity(), xmax = -xmin, ymin = xmin, ymax = -xmin;
    for (std::size_t k = 0; k < board.outline.size(); ++k) {
        const Polygon& polygon = board.outline[k];
        bool finite = polygon.size() >= 3;
        for (const PlatePoint& p : polygon)
            finite = finite && Finite(p.x) && Finite(p.y);
        if (!finite || !(std::abs(SignedArea(polygon)) > 0.0)) {
            Refuse(problem, Kind::OutlineInvalid);
            problem.index = k;
            return false;
        }
        if (k == 0)
            for (const PlatePoint& p : polygon) {
                xmin = std::min(xmin, p.x);
                xmax = std::max(xmax, p.x);
                ymin = std::min(ymin, p.y);
                ymax = std::max(ymax, p.y);
            }
    }
    board.x0 = xmin;
    board.y0 = ymin;
    board.width = xmax - xmin;
    board.height = ymax - ymin;
    if (!(board.width > 0.0) || !(board.height > 0.0)) {
        Refuse(problem, Kind::OutlineInvalid);
        return false;
    }

    for (std::size_t k = 0; k < model.points.size(); ++k) {
        const PlatePoint& p = model.points[k];
        if (!Finite(p.x) || !Finite(p.y) || !board.Holds(p.x, p.y)) {
            Refuse(problem, Kind::PointOutside);
            problem.index = k;
            problem.x = p.x;
            problem.y = p.y;
            return false;
        }
        for (std::size_t m = 0; m < k; ++m) {
            const double d = std::hypot(p.x - model.points[m].x, p.y - model.points[m].y);
            if (d < kPointTolerance) {
                Refuse(problem, Kind::PointsTooClose, d);
                problem.index = m;
                problem.other = k;
                problem.limit = kPointTolerance;
                return false;
            }
        }
    }
    double total = 0.0;
    for (std::size_t k = 0; k < model.masses.size(); ++k) {
        const LumpedMass& m = model.masses[k];
        if (!Finite(m.weight) || m.weight < 0.0) {
            Refuse(problem, Kind::MassInvalid, m.weight);
            problem.index = k;
            return false;
        }
        if (!Finite(m.x) || !Finite(m.y) || !board.Holds(m.x, m.y)) {
            Refuse(problem, Kind::MassOutside, m.weight);
            problem.index = k;
            problem.x = m.x;
            problem.y = m.y;
            return false;
        }
        total += m.weight;
    }
    if (total >= model.weight) {
        Refuse(problem, Kind::MassesReachWeight, total);
        problem.limit = model.weight;
        return false;
    }
    const bool fixed = options.nx > 0 && options.ny > 0;
    if (!fixed &&
        (options.startCells < 2 || options.maxCells < options.startCells || !(options.tolerance > 0.0)))
        return Refuse(problem, Kind::MeshInvalid);
    if (options.nx < 0 || options.ny < 0 || (options.nx > 0) != (options.ny > 0) ||
        !(options.penalty > 0.0) || !Finite(options.penalty))
        return Refuse(problem, Kind::MeshInvalid);
    if (!Held(model, board))
        return Refuse(problem, Kind::RigidBody);
    return true;
}

// (K − σM)⁻¹ by a sparse LDLᵀ factorisation, for Spectra's shift-and-invert mode.
class ShiftInvert {
public:
    using Scalar = double;
    ShiftInvert(const SparseMatrix& k, const SparseMatrix& m) : k_(k), m_(m) {}
    Eigen::Index rows() const { return k_.rows(); }
    Eigen::Index cols() const { return k_.cols(); }
    void set_shift(double sigma) {
        const SparseMatrix shifted = k_ - sigma * m_;
        ldlt_.compute(shifted);
        ok_ = ldlt_.info() == Eigen::Success;
    }
    void perform_op(const double* in, double* out) const {
        Eigen::Map<Vector>(out, k_.rows()) = ldlt_.solve(Eigen::Map<const Vector>(in, k_.rows()));
    }
    bool ok() const { return ok_; }

private:
    const SparseMatrix& k_;
    const SparseMatrix& m_;
    Eigen::SimplicialLDLT<SparseMatrix, Eigen::Lower> ldlt_;
    bool ok_ = false;
};

struct MeshResult {
    double fn = 0.0;
    std::vector<double> dofs; // 4 per node
};

bool SolveMesh(const PlateModel& model, const Board& board, const MeshOptions& options, PlateMesh& mesh,
               MeshResult& result, PlateProblem& problem) {
    mesh.x0 = board.x0;
    mesh.y0 = board.y0;
    mesh.hx = board.width / mesh.nx;
    mesh.hy = board.height / mesh.ny;
    mesh.kept.assign(static_cast<std::size_t>(mesh.nx) * static_cast<std::size_t>(mesh.ny), 1);
    std::size_t keptCells = mesh.kept.size();
    if (!board.rectangle) {
        keptCells = 0;
        for (int j = 0; j < mesh.ny; ++j)
            for (int i = 0; i < mesh.nx; ++i) {
                const bool keep =
                    board.KeepsCentre(mesh.x0 + (i + 0.5) * mesh.hx, mesh.y0 + (j + 0.5) * mesh.hy);
                mesh.kept[mesh.Cell(i, j)] = keep ? 1 : 0;
                keptCells += keep ? 1 : 0;
            }
    }
    if (keptCells == 0) {
        Refuse(problem, PlateProblem::Kind::NoElements);
        problem.index = static_cast<std::size_t>(mesh.nx);
        problem.other = static_cast<std::size_t>(mesh.ny);
        return false;
    }

    // Dofs of nodes on no kept cell, and those the edges fix, are left out.
    const std::size_t total = 4 * mesh.Nodes();
    std::vector<char> used(total, 0), fixed(total, 0);
    for (int j = 0; j < mesh.ny; ++j)
        for (int i = 0; i < mesh.nx; ++i)
            if (mesh.Kept(i, j))
                for (std::size_t k = 0; k < 16; ++k)
                    used[mesh.Dof(i, j, k)] = 1;
    // An edge along x fixes w and w_x when simply supported, along y w and w_y; clamped fixes all four.
    const auto fixSide = [&](int i0, int j0, int i1, int j1, bool alongX, EdgeSupport support) {
        if (support == EdgeSupport::Free)
            return;
        for (const std::size_t node : {mesh.Node(i0, j0), mesh.Node(i1, j1)}) {
            fixed[4 * node] = 1;
            fixed[4 * node + (alongX ? 1 : 2)] = 1;
            if (support == EdgeSupport::Clamped) {
                fixed[4 * node + 1] = fixed[4 * node + 2] = fixed[4 * node + 3] = 1;
            }
        }
    };
    if (board.rectangle) {
        for (int i = 0; i < mesh.nx; ++i) {
            fixSide(i, 0, i + 1, 0, true, model.edges.y0);
            fixSide(i, mesh.ny, i + 1, mesh.ny, true, model.edges.yb);
        }
        for (int j = 0; j < mesh.ny; ++j) {
            fixSide(0, j, 0, j + 1, false, model.edges.x0);
            fixSide(mesh.nx, j, mesh.nx, j + 1, false, model.edges.xa);
        }
    } else if (model.outlineSupport != EdgeSupport::Free) {
        // A side of a kept cell is on the outer boundary when the cell beyond it is off the mesh or
        // outside the outer polygon (not in a hole, whose edges are free).
        const auto outer = [&](int i, int j) {
            if (i < 0 || j < 0 || i >= mesh.nx || j >= mesh.ny)
                return true;
            return !mesh.Kept(i, j) && !InsidePolygon(board.outline.front(), mesh.x0 + (i + 0.5) * mesh.hx,
                                                      mesh.y0 + (j + 0.5) * mesh.hy);
        };
        const EdgeSupport s = model.outlineSupport;
        for (int j = 0; j < mesh.ny; ++j)
            for (int i = 0; i < mesh.nx; ++i) {
                if (!mesh.Kept(i, j))
                    continue;
                if (outer(i, j - 1))
                    fixSide(i, j, i + 1, j, true, s);
                if (outer(i, j + 1))
                    fixSide(i, j + 1, i + 1, j + 1, true, s);
                if (outer(i - 1, j))
                    fixSide(i, j, i, j + 1, false, s);
                if (outer(i + 1, j))
                    fixSide(i + 1, j, i + 1, j + 1, false, s);
            }
    }
    std::vector<Eigen::Index> reduced(total, -1);
    Eigen::Index n = 0;
    for (std::size_t d = 0; d < total; ++d)
        if (used[d] != 0 && fixed[d] == 0)
            reduced[d] = n++;
    if (n < 2) {
        Refuse(problem, PlateProblem::Kind::NoElements);
        problem.index = static_cast<std::size_t>(mesh.nx);
        problem.other = static_cast<std::size_t>(mesh.ny);
        return false;
    }

    const double rigidity = FlexuralRigidity({0.0, 0.0, model.h, model.weight, model.modulus, model.poisson});
    double lumped = 0.0;
    for (const LumpedMass& m : model.masses)
        lumped += m.weight;
    const double area = static_cast<double>(keptCells) * mesh.hx * mesh.hy;
    const double rho = (model.weight - lumped) / (kGravity * area);
    const std::vector<double> ke = CellStiffness(mesh.hx, mesh.hy, rigidity, model.poisson);
    const HermiteIntegrals hx = Hermite(mesh.hx), hy = Hermite(mesh.hy);
    std::array<double, 256> me{};
    for (std::size_t r = 0; r < 16; ++r)
        for (std::size_t c = 0; c < 16; ++c)
            me[16 * r + c] = rho * hx.m0[4 * (r / 4) + c / 4] * hy.m0[4 * (r % 4) + c % 4];

    std::vector<Eigen::Triplet<double>> kt, mt;
    kt.reserve(keptCells * 256);
    mt.reserve(keptCells * 256);
    std::array<Eigen::Index, 16> map{};
    for (int j = 0; j < mesh.ny; ++j)
        for (int i = 0; i < mesh.nx; ++i) {
            if (!mesh.Kept(i, j))
                continue;
            for (std::size_t k = 0; k < 16; ++k)
                map[k] = reduced[mesh.Dof(i, j, k)];
            for (std::size_t r = 0; r < 16; ++r) {
                if (map[r] < 0)
                    continue;
                for (std::size_t c = 0; c < 16; ++c) {
                    if (map[c] < 0)
                        continue;
                    kt.emplace_back(map[r], map[c], ke[16 * r + c]);
                    mt.emplace_back(map[r], map[c], me[16 * r + c]);
                }
            }
        }
    // A point's interpolation vector n adds k·n·nᵀ (a support's spring) or m·n·nᵀ (a mass).
    const auto addPoint = [&](std::vector<Eigen::Triplet<double>>& triplets, double x, double y,
                              double factor) {
        const Located at = Locate(mesh, x, y);
        const CellFunctions f = CellAt(at.xi, at.eta, mesh.hx, mesh.hy);
        for (std::size_t r = 0; r < 16; ++r) {
            const Eigen::Index gr = reduced[mesh.Dof(at.i, at.j, r)];
            if (gr < 0)
                continue;
            for (std::size_t c = 0; c < 16; ++c) {
                const Eigen::Index gc = reduced[mesh.Dof(at.i, at.j, c)];
                if (gc >= 0)
                    triplets.emplace_back(gr, gc, factor * f.n[r] * f.n[c]);
            }
        }
    };
    SparseMatrix K(n, n), M(n, n);
    K.setFromTriplets(kt.begin(), kt.end());
    if (!model.points.empty()) {
        double largest = 0.0;
        for (Eigen::Index d = 0; d < n; ++d)
            largest = std::max(largest, K.coeff(d, d));
        kt.clear();
        for (const PlatePoint& p : model.points)
            addPoint(kt, p.x, p.y, options.penalty * largest);
        SparseMatrix springs(n, n);
        springs.setFromTriplets(kt.begin(), kt.end());
        K += springs;
    }
    for (const LumpedMass& m : model.masses)
        addPoint(mt, m.x, m.y, m.weight / kGravity);
    M.setFromTriplets(mt.begin(), mt.end());

    // The shift: a small fraction of the simply supported bounding box's λ, below every eigenvalue.
    const double pi2 = kPi * kPi;
    const double navier = pi2 * (1.0 / (board.width * board.width) + 1.0 / (board.height * board.height));
    const double sigma = -1e-3 * navier * navier * rigidity * kGravity * area / model.weight;

    const auto notConverged = [&]() {
        Refuse(problem, PlateProblem::Kind::NotConverged);
        problem.index = static_cast<std::size_t>(mesh.nx);
        problem.other = static_cast<std::size_t>(mesh.ny);
        return false;
    };
    double lambda = 0.0;
    Vector phi;
    try {
        ShiftInvert op(K, M);
        Spectra::SparseSymMatProd<double> bop(M);
        const Eigen::Index ncv = std::min<Eigen::Index>(n, 12);
        Spectra::SymGEigsShiftSolver<ShiftInvert, Spectra::SparseSymMatProd<double>,
                                     Spectra::GEigsMode::ShiftInvert>
            eigs(op, bop, 1, ncv, sigma);
        if (!op.ok())
            return notConverged();
        eigs.init();
        eigs.compute(Spectra::SortRule::LargestMagn, 1000, 1e-10);
        if (eigs.info() != Spectra::CompInfo::Successful)
            return notConverged();
        lambda = eigs.eigenvalues()(0);
        phi = eigs.eigenvectors().col(0);
    } catch (const std::exception&) {
        return notConverged();
    }
    if (!Finite(lambda) || !(lambda > 0.0) || !phi.allFinite())
        return notConverged();
    result.fn = std::sqrt(lambda) / (2.0 * kPi);
    if (!Finite(result.fn) || !(result.fn > 0.0))
        return notConverged();
    result.dofs.assign(total, 0.0);
    for (std::size_t d = 0; d < total; ++d)
        if (reduced[d] >= 0)
            result.dofs[d] = phi(reduced[d]);
    return true;
}

// w and its derivatives at a point of a cell.
struct Field {
    double w = 0.0, wx = 0.0, wy = 0.0, wxx = 0.0, wyy = 0.0, wxy = 0.0;
};

Field Evaluate(const PlateMesh& mesh, const std::vector<double>& dofs, int i, int j, double xi, double eta) {
    const CellFunctions f = CellAt(xi, eta, mesh.hx, mesh.hy);
    Field v;
    for (std::size_t k = 0; k < 16; ++k) {
        const double u = dofs[mesh.Dof(i, j, k)];
        v.w += f.n[k] * u;
        v.wx += f.dx[k] * u;
        v.wy += f.dy[k] * u;
        v.wxx += f.dxx[k] * u;
        v.wyy += f.dyy[k] * u;
        v.wxy += f.dxy[k] * u;
    }
    return v;
}

// The cells whose closure holds a coordinate: one, or the two on either side of a grid line.
struct Sides {
    int cells[2] = {0, 0};
    int count = 0;
    Sides(double f, int n) {
        const double nearest = std::round(f);
        if (std::abs(f - nearest) < 1e-9) {
            for (const int c : {static_cast<int>(nearest) - 1, static_cast<int>(nearest)})
                if (c >= 0 && c < n)
                    cells[count++] = c;
        } else {
            cells[count++] = std::clamp(static_cast<int>(std::floor(f)), 0, n - 1);
        }
    }
    const int* begin() const { return cells; }
    const int* end() const { return cells + count; }
};

} // namespace

HermiteIntegrals Hermite(double length) {
    // Four Gauss points integrate the products (degree 6 at most) exactly.
    const double g1 = std::sqrt(3.0 / 7.0 - 2.0 / 7.0 * std::sqrt(6.0 / 5.0));
    const double g2 = std::sqrt(3.0 / 7.0 + 2.0 / 7.0 * std::sqrt(6.0 / 5.0));
    const double w1 = (18.0 + std::sqrt(30.0)) / 36.0, w2 = (18.0 - std::sqrt(30.0)) / 36.0;
    const double points[] = {-g2, -g1, g1, g2};
    const double weights[] = {w2, w1, w1, w2};
    HermiteIntegrals h{};
    for (int q = 0; q < 4; ++q) {
        const Hermite1D f = HermiteAt((points[q] + 1.0) / 2.0, length);
        const double w = weights[q] * length / 2.0;
        for (std::size_t r = 0; r < 4; ++r)
            for (std::size_t c = 0; c < 4; ++c) {
                h.m0[4 * r + c] += w * f.n[r] * f.n[c];
                h.k1[4 * r + c] += w * f.d1[r] * f.d1[c];
                h.k2[4 * r + c] += w * f.d2[r] * f.d2[c];
                h.c[4 * r + c] += w * f.d2[r] * f.n[c];
            }
    }
    return h;
}

std::vector<double> CellStiffness(double lx, double ly, double rigidity, double poisson) {
    const HermiteIntegrals x = Hermite(lx), y = Hermite(ly);
    std::vector<double> k(256);
    for (std::size_t ax = 0; ax < 4; ++ax)
        for (std::size_t ay = 0; ay < 4; ++ay)
            for (std::size_t bx = 0; bx < 4; ++bx)
                for (std::size_t by = 0; by < 4; ++by) {
                    const std::size_t xx = 4 * ax + bx, yy = 4 * ay + by;
                    const double value = x.k2[xx] * y.m0[yy] + x.m0[xx] * y.k2[yy] +
                                         poisson * (x.c[xx] * y.c[4 * by + ay] + x.c[4 * bx + ax] * y.c[yy]) +
                                         2.0 * (1.0 - poisson) * x.k1[xx] * y.k1[yy];
                    k[16 * (4 * ax + ay) + 4 * bx + by] = rigidity * value;
                }
    return k;
}

// Fills a PlateMode, whose members are private to keep the mode consistent.
class PlateModeBuilder {
public:
    static PlateMode Exact(const Board& board) {
        PlateMode mode;
        mode.exact_ = true;
        mode.x0_ = board.x0;
        mode.y0_ = board.y0;
        mode.width_ = board.width;
        mode.height_ = board.height;
        mode.peakX_ = board.x0 + board.width / 2.0;
        mode.peakY_ = board.y0 + board.height / 2.0;
        return mode;
    }

    static PlateMode Meshed(const PlateMesh& mesh, std::vector<double> dofs) {
        PlateMode mode;
        mode.x0_ = mesh.x0;
        mode.y0_ = mesh.y0;
        mode.width_ = mesh.hx * mesh.nx;
        mode.height_ = mesh.hy * mesh.ny;
        mode.mesh_ = std::make_shared<const PlateMesh>(mesh);
        // The node of largest |w|, then Newton steps on the gradient while |w| grows within the board.
        double best = 0.0;
        std::size_t at = 0;
        for (std::size_t node = 0; node < mesh.Nodes(); ++node)
            if (std::abs(dofs[4 * node]) > best) {
                best = std::abs(dofs[4 * node]);
                at = node;
            }
        double px = mesh.x0 + static_cast<double>(at % static_cast<std::size_t>(mesh.nx + 1)) * mesh.hx;
        double py = mesh.y0 + static_cast<double>(at / static_cast<std::size_t>(mesh.nx + 1)) * mesh.hy;
        double peak = dofs[4 * at];
        for (int step = 0; step < 8; ++step) {
            const Located l = Locate(mesh, px, py);
            const Field f = Evaluate(mesh, dofs, l.i, l.j, l.xi, l.eta);
            const double det = f.wxx * f.wyy - f.wxy * f.wxy;
            if (!(std::abs(det) > 0.0))
                break;
            // The full step, or, where the peak lies on the board's edge, a step along the edge only.
            const double steps[3][2] = {
                {-(f.wyy * f.wx - f.wxy * f.wy) / det, -(f.wxx * f.wy - f.wxy * f.wx) / det},
                {0.0, std::abs(f.wyy) > 0.0 ? -f.wy / f.wyy : 0.0},
                {std::abs(f.wxx) > 0.0 ? -f.wx / f.wxx : 0.0, 0.0}};
            bool moved = false;
            for (const auto& d : steps) {
                if (std::abs(d[0]) > mesh.hx || std::abs(d[1]) > mesh.hy || (d[0] == 0.0 && d[1] == 0.0))
                    continue;
                const double nx = px + d[0], ny = py + d[1];
                const double fx = (nx - mesh.x0) / mesh.hx, fy = (ny - mesh.y0) / mesh.hy;
                const int ci = static_cast<int>(std::floor(fx)), cj = static_cast<int>(std::floor(fy));
                if (fx < 0.0 || fy < 0.0 || fx > mesh.nx || fy > mesh.ny ||
                    !mesh.Kept(std::min(ci, mesh.nx - 1), std::min(cj, mesh.ny - 1)))
                    continue;
                const Located m = Locate(mesh, nx, ny);
                const double w = Evaluate(mesh, dofs, m.i, m.j, m.xi, m.eta).w;
                if (std::abs(w) <= std::abs(peak))
                    continue;
                peak = w;
                px = nx;
                py = ny;
                moved = true;
                break;
            }
            if (!moved)
                break;
        }
        for (double& d : dofs)
            d /= peak;
        mode.dofs_ = std::move(dofs);
        mode.peakX_ = px;
        mode.peakY_ = py;
        return mode;
    }
};

double PlateMode::Deflection(double x, double y) const {
    const double fx = (x - x0_) / width_, fy = (y - y0_) / height_;
    if (fx < -1e-12 || fy < -1e-12 || fx > 1.0 + 1e-12 || fy > 1.0 + 1e-12)
        return 0.0;
    if (exact_)
        return std::sin(kPi * std::clamp(fx, 0.0, 1.0)) * std::sin(kPi * std::clamp(fy, 0.0, 1.0));
    const PlateMesh& mesh = *mesh_;
    const double cx = fx * mesh.nx, cy = fy * mesh.ny;
    for (const int j : Sides(cy, mesh.ny))
        for (const int i : Sides(cx, mesh.nx))
            if (mesh.Kept(i, j))
                return Evaluate(mesh, dofs_, i, j, std::clamp(cx - i, 0.0, 1.0), std::clamp(cy - j, 0.0, 1.0))
                    .w;
    return 0.0;
}

Curvature PlateMode::CurvatureAt(double x, double y) const {
    const double fx = (x - x0_) / width_, fy = (y - y0_) / height_;
    if (fx < -1e-12 || fy < -1e-12 || fx > 1.0 + 1e-12 || fy > 1.0 + 1e-12)
        return {};
    if (exact_) {
        const double w = Deflection(x, y);
        return {-w * kPi * kPi / (width_ * width_), -w * kPi * kPi / (height_ * height_)};
    }
    const PlateMesh& mesh = *mesh_;
    const double cx = fx * mesh.nx, cy = fy * mesh.ny;
    Curvature sum;
    int count = 0;
    for (const int j : Sides(cy, mesh.ny))
        for (const int i : Sides(cx, mesh.nx)) {
            if (!mesh.Kept(i, j))
                continue;
            const Field f =
                Evaluate(mesh, dofs_, i, j, std::clamp(cx - i, 0.0, 1.0), std::clamp(cy - j, 0.0, 1.0));
            sum.xx += f.wxx;
            sum.yy += f.wyy;
            ++count;
        }
    if (count > 0) {
        sum.xx /= count;
        sum.yy /= count;
    }
    return sum;
}

double PlateMode::PositionFactor(double x, double y, Edge along) const {
    const Curvature c = CurvatureAt(x, y);
    if (along == Edge::A)
        return std::abs(c.xx) * width_ * width_ / (kPi * kPi);
    return std::abs(c.yy) * height_ * height_ / (kPi * kPi);
}

std::vector<double> PlateMode::Grid(int columns, int rows) const {
    std::vector<double> values;
    if (columns < 2 || rows < 2)
        return values;
    values.reserve(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i)
            values.push_back(Deflection(x0_ + width_ * i / (columns - 1), y0_ + height_ * j / (rows - 1)));
    return values;
}

std::optional<PlateSolution> SolvePlate(const PlateModel& model, const MeshOptions& options,
                                        PlateProblem& problem) {
    problem = {};
    Board board;
    if (!Check(model, options, board, problem))
        return std::nullopt;
    const bool fixed = options.nx > 0 && options.ny > 0;
    const EdgeSupports& e = model.edges;
    const auto simple = [](EdgeSupport s) { return s == EdgeSupport::Simple; };
    PlateSolution solution;
    if (options.exactWhenPossible && !fixed && board.rectangle && simple(e.y0) && simple(e.yb) &&
        simple(e.x0) && simple(e.xa) && model.points.empty() && model.masses.empty()) {
        solution.fn = PlateFrequency({model.a, model.b, model.h, model.weight, model.modulus, model.poisson},
                                     Supports::Simple);
        solution.exact = true;
        solution.converged = true;
        solution.mode = PlateModeBuilder::Exact(board);
        return solution;
    }

    int nx = options.nx, ny = options.ny;
    int cells = options.startCells;
    const auto proportion = [&](int n) {
        const double longer = std::max(board.width, board.height);
        const int other =
            std::max(2, static_cast<int>(std::lround(n * std::min(board.width, board.height) / longer)));
        nx = board.width >= board.height ? n : other;
        ny = board.width >= board.height ? other : n;
    };
    if (!fixed)
        proportion(cells);
    PlateMesh mesh;
    MeshResult result;
    for (;;) {
        mesh = {};
        mesh.nx = nx;
        mesh.ny = ny;
        if (!SolveMesh(model, board, options, mesh, result, problem))
            return std::nullopt;
        solution.steps.push_back({nx, ny, result.fn});
        if (fixed)
            break;
        const std::size_t s = solution.steps.size();
        if (s >= 2 && std::abs(result.fn - solution.steps[s - 2].fn) < options.tolerance * result.fn) {
            solution.converged = true;
            break;
        }
        if (cells * 2 > options.maxCells)
            break;
        cells *= 2;
        proportion(cells);
    }
    solution.fn = result.fn;
    solution.nx = nx;
    solution.ny = ny;
    solution.mode = PlateModeBuilder::Meshed(mesh, std::move(result.dofs));
    return solution;
}

} // namespace board
