#pragma once
// The azimuthal equidistant map generation as computation on indexed images:
// every pixel of the world map is carried to its pixel on the 600 × 600 map
// (a forward mapping), column by column, later source pixels winning.
//
// Two implementations live here. ProjectReference is the straightforward
// one: every point goes through geo::BearingAndRange and geo::PolarToMapPixel
// in extended precision. AzimuthalProjector gives the same pixels, proved by
// the tests over many centres, in a fraction of the time (see its comment).
//
// Plain C++: no Qt, so the generation is testable and measurable on its own.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "geo/geo.h"

namespace korvalen::generator {

/// A read-only view of an 8-bit indexed image (one byte per pixel).
struct ConstIndexedView {
    const uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;  ///< bytes from one row to the next
    uint8_t at(int x, int y) const { return bits[y * stride + x]; }
};

/// A writable view of an 8-bit indexed image.
struct IndexedView {
    uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
    operator ConstIndexedView() const { return {bits, width, height, stride}; }
};

/// Called after every column of the world map with the column just done
/// (0 … 795), on the calling thread, in column order.
using ColumnProgress = std::function<void(int column)>;

/// Copies @p templ (600 × 600) onto @p target (600 × 600) whole.
void CopyTemplate(ConstIndexedView templ, IndexedView target);

/// The generation's straightforward form, point by point in extended
/// precision. @p centreLatitude may change (+90 becomes 89.9).
/// @param world 796 × 510 source, @param target 600 × 600, already holding
/// the template; only the plotted pixels change.
void ProjectReference(ConstIndexedView world, IndexedView target, geo::Real& centreLatitude,
                      geo::Real centreLongitude, const ColumnProgress& progress = {});

/// Where the extended-precision formulas put world pixel (column, row) for
/// a centre: y * 600 + x, or -1 outside the map.
int32_t ReferenceDestination(int column, int row, geo::Real centreLatitude, geo::Real centreLongitude);

/// Clears the upper halves of the AVX registers. Code elsewhere in the
/// process (seen after the toolkit starts) can leave them dirty; every SSE
/// instruction of the generation and of the maths library then pays a
/// transition penalty, which made the generation six times slower. Costs
/// one instruction; nothing on other processors.
void ClearUpperVectorState();

/// The fast generation.
///
/// Per centre, per row and per column the trigonometric terms are computed
/// once, in extended precision exactly as the reference does, and the west
/// reflection of each column is decided by the reference's own test. Per
/// point only one arccos and two square roots remain, in double precision:
/// sin(φ1 + c) is expanded as sin φ1·cos c + cos φ1·sin c, and sin A, cos A
/// come from sin²(A/2) algebraically (sin A = 2√(B(1 − B)), cos A = 1 − 2B).
///
/// Double precision is off from the extended-precision reference by far
/// less than 1e-9 pixel, so rounding can only differ when a coordinate lies
/// next to a half; such points, and the points where the formulas are
/// ill-conditioned (next to the centre or its antipode, where sin c → 0),
/// are recomputed by the reference code itself. The result is therefore the
/// reference's, pixel for pixel.
///
/// With two threads, a worker computes the second half of the columns'
/// target positions while the calling thread computes the first half and
/// writes pixels in the reference's order; all buffers are allocated once
/// in the constructor, nothing inside the loop.

class AzimuthalProjector {
public:
    explicit AzimuthalProjector(int threads = 2);

    /// Same contract as ProjectReference.
    void Project(ConstIndexedView world, IndexedView target, geo::Real& centreLatitude,
                 geo::Real centreLongitude, const ColumnProgress& progress = {});

    /// Where the last Project put world pixel (column, row): y * 600 + x, or
    /// -1 when it fell outside the map.
    int32_t Destination(int column, int row) const {
        return destination_[static_cast<size_t>(column) * geo::WorldHeight + row];
    }

    /// How many points of the last Project were recomputed by the reference.
    int RecheckedPoints() const { return rechecked_; }

    /// Distance from a half within which a coordinate is recomputed, pixels.
    static constexpr double kHalfMargin = 1e-6;
    /// sin c below which a point is recomputed (next to centre or antipode).
    static constexpr double kSinRangeMargin = 1e-4;

private:
    void ComputeColumns(int first, int last, std::atomic<int>* done);
    int ComputeColumn(int column);

    int threads_;
    // Per centre.
    geo::Real centreLat_ = 0;
    geo::Real centreLon_ = 0;
    double sinPhi1_ = 0;
    double cosPhi1_ = 0;
    // Per row (latitude terms) and per column (longitude terms).
    std::vector<double> sinPhi2_, cosPhi2_;
    std::vector<double> cosDelta_;
    std::vector<uint8_t> west_;
    // Target offset (y * 600 + x) of every world pixel, column-major;
    // -1 where the point falls outside the map.
    std::vector<int32_t> destination_;
    int rechecked_ = 0;
    std::vector<int> recheckedPerColumn_;
};

}  // namespace korvalen::generator
