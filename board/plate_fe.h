// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The first natural frequency and mode of a board by finite elements: a Kirchhoff plate of any edge
// supports, a polygon outline with holes, point supports (screws, standoffs) and lumped masses (parts).
#pragma once

#include "board/parts.h"
#include "board/plate.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace board {

enum class EdgeSupport {
    Simple,  // w = 0 along the edge; the slope across it is free
    Clamped, // w = 0 and no slope
    Free,
};

// The four edges of a rectangle: the two of length a first (at y = 0, then y = b), then the two of
// length b (at x = 0, then x = a), the order of a four-letter option such as "SSFF".
struct EdgeSupports {
    EdgeSupport y0 = EdgeSupport::Simple;
    EdgeSupport yb = EdgeSupport::Simple;
    EdgeSupport x0 = EdgeSupport::Simple;
    EdgeSupport xa = EdgeSupport::Simple;
};

struct PlatePoint {
    double x = 0.0, y = 0.0; // inch
};

// A closed polygon, its vertices in order (either sense); the last joins the first.
using Polygon = std::vector<PlatePoint>;

// The polygon's area (shoelace), positive when its vertices run counter-clockwise.
double SignedArea(const Polygon& polygon);

// A part's weight at a point, lb.
struct LumpedMass {
    double x = 0.0, y = 0.0; // inch
    double weight = 0.0;     // lb
};

struct PlateModel {
    // The board: the rectangle 0 ≤ x ≤ a, 0 ≤ y ≤ b with its four edge supports, unless `outline` holds
    // a polygon; then a and b are ignored, outline[0] is the outer boundary, any further polygons are
    // holes, `outlineSupport` holds the whole outer boundary and the holes' edges are free.
    double a = 0.0, b = 0.0; // inch
    EdgeSupports edges;
    std::vector<Polygon> outline;
    EdgeSupport outlineSupport = EdgeSupport::Free;

    double h = 0.0;      // thickness, inch
    double weight = 0.0; // of the populated board, lb: the lumped masses and the rest spread evenly
    double modulus = kEpoxyGlassModulus;
    double poisson = kEpoxyGlassPoisson;

    std::vector<PlatePoint> points; // point supports: w = 0 there
    std::vector<LumpedMass> masses;
};

struct MeshOptions {
    // Cells along the longer side of the bounding box, the other side in proportion (cells about
    // square, at least 2): the first mesh, then doubled until fn changes by less than `tolerance`, up to
    // `maxCells`.
    int startCells = 8;
    int maxCells = 128;
    double tolerance = 0.002;
    // A mesh of exactly nx × ny cells, no refinement, when both are above 0.
    int nx = 0, ny = 0;
    // The stiffness of a point support's spring, times the largest diagonal term of the stiffness.
    double penalty = 1e7;
    // A rectangle with all edges simply supported, no points and no masses, is solved exactly (Navier).
    bool exactWhenPossible = true;
};

// Why a plate cannot be solved: a kind and its figures.
struct PlateProblem {
    enum class Kind {
        None,
        SizeNotPositive,      // a or b not a finite number above 0
        ThicknessNotPositive, // value: h
        WeightNotPositive,    // value: the weight, lb
        ModulusNotPositive,   // value: E
        PoissonOutOfRange,    // value: ν, not in [0, 0.5)
        OutlineInvalid,    // index: the polygon with fewer than 3 vertices, a vertex not finite, or no area
        PointOutside,      // index: the point support, x, y: where it is
        PointsTooClose,    // index and other: two point supports, value: their distance, inch
        MassOutside,       // index: the lumped mass, x, y: where it is
        MassInvalid,       // index: the lumped mass, value: its weight, negative or not finite
        MassesReachWeight, // value: the masses' total, limit: the board's weight, lb
        RigidBody,         // the supports leave the board free to move as a rigid body
        MeshInvalid,       // the mesh options: a count below 2, one fixed count alone, no tolerance
        NoElements,        // the mesh (nx, ny in index, other) keeps no cell or leaves no dof free
        NotConverged,      // the eigen-solver found no mode; index, other: the mesh
    };
    Kind kind = Kind::None;
    std::size_t index = 0;
    std::size_t other = 0;
    double value = 0.0;
    double limit = 0.0;
    double x = 0.0, y = 0.0;
};

// Two points closer than this are one.
inline constexpr double kPointTolerance = 1e-6; // inch

// The second derivatives of the mode at a point.
struct Curvature {
    double xx = 0.0, yy = 0.0; // 1/inch²
};

// A structured mesh over a board's bounding box and the cells the outline keeps.
struct PlateMesh;

// The first mode's shape, normalised to a peak w of 1. Copies share the mesh.
class PlateMode {
public:
    // w at (x, y); 0 outside the board's cells.
    double Deflection(double x, double y) const;
    // ∂²w/∂x² and ∂²w/∂y², from the cell's shape functions; on a cell boundary the mean of both sides.
    Curvature CurvatureAt(double x, double y) const;
    // The position factor of a part lying along edge a (s = x, B = a) or b (s = y, B = b):
    // r = |∂²w/∂s²|·B²/π², sin(πx/a)·sin(πy/b) on a simply supported rectangle.
    double PositionFactor(double x, double y, Edge along) const;
    // w on a columns × rows grid over the bounding box, corners included, row by row from y = ymin.
    std::vector<double> Grid(int columns = 13, int rows = 9) const;

    double peakX() const { return peakX_; }
    double peakY() const { return peakY_; }
    // The bounding box of the board.
    double xMin() const { return x0_; }
    double yMin() const { return y0_; }
    double width() const { return width_; }
    double height() const { return height_; }

private:
    friend class PlateModeBuilder;
    bool exact_ = false;
    double x0_ = 0.0, y0_ = 0.0, width_ = 0.0, height_ = 0.0;
    std::shared_ptr<const PlateMesh> mesh_;
    std::vector<double> dofs_; // 4 per node (w, w_x, w_y, w_xy), nodes row by row from y = ymin
    double peakX_ = 0.0, peakY_ = 0.0;
};

struct MeshStep {
    int nx = 0, ny = 0;
    double fn = 0.0;
};

struct PlateSolution {
    double fn = 0.0;             // Hz
    int nx = 0, ny = 0;          // the final mesh, cells (0 when exact)
    bool converged = false;      // fn changed by less than the tolerance on the last doubling (or exact)
    bool exact = false;          // the Navier solution, not finite elements
    std::vector<MeshStep> steps; // every mesh solved, in order
    PlateMode mode;
};

// The first mode of the plate, or nullopt with what is wrong.
std::optional<PlateSolution> SolvePlate(const PlateModel& model, const MeshOptions& options,
                                        PlateProblem& problem);

// The 1D cubic Hermite integrals on an element of length ℓ, dofs (w0, w0', w1, w1'), row-major 4 × 4:
// M0 = ∫N·Nᵀ, K1 = ∫N'·N'ᵀ, K2 = ∫N''·N''ᵀ, C = ∫N''·Nᵀ.
struct HermiteIntegrals {
    double m0[16], k1[16], k2[16], c[16];
};
HermiteIntegrals Hermite(double length);

// The stiffness of one Bogner–Fox–Schmit cell lx × ly of a plate of rigidity D, row-major 16 × 16. Its
// dofs are the tensor products of the 1D Hermite dofs: dof 4·i + j is x-dof i times y-dof j, so that the
// four nodal dofs of the corner (0, 0) are w (0), w_y (1), w_x (4) and w_xy (5).
std::vector<double> CellStiffness(double lx, double ly, double rigidity, double poisson);

} // namespace board
