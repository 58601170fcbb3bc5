#include "generator/projection.h"

#include <cmath>
#include <cstring>
#include <thread>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define KORVALEN_X86_GNU 1
#endif

namespace korvalen::generator {

using geo::Real;

void CopyTemplate(ConstIndexedView templ, IndexedView target) {
    for (int y = 0; y < target.height && y < templ.height; ++y)
        std::memcpy(target.bits + y * target.stride, templ.bits + y * templ.stride,
                    static_cast<size_t>(std::min(target.width, templ.width)));
}

namespace {

// Target offset of one world pixel by the extended-precision formulas, or -1.
inline int32_t ReferenceOffset(int column, int row, Real& centreLatitude, Real centreLongitude,
                               std::ptrdiff_t stride) {
    geo::LatLong p = geo::WorldPixelToLatLong(column, row);
    const geo::BearingRange br =
        geo::BearingAndRange(centreLatitude, centreLongitude, p.latitude, p.longitude);
    const geo::MapPixel m = geo::PolarToMapPixel(br.range, br.bearing);
    if (m.x < 0 || m.x >= geo::MapSize || m.y < 0 || m.y >= geo::MapSize) return -1;
    return static_cast<int32_t>(m.y * stride + m.x);
}

#ifdef KORVALEN_X86_GNU
__attribute__((target("avx"))) void ZeroUpperAvx() { _mm256_zeroupper(); }
const bool kCpuHasAvx = __builtin_cpu_supports("avx");
#endif

// Joins the worker on every way out of the generation, a throwing progress
// callback included: a joinable thread left behind would end the program.
struct JoinOnExit {
    std::thread& thread;
    ~JoinOnExit() {
        if (thread.joinable()) thread.join();
    }
};

}  // namespace

void ClearUpperVectorState() {
#ifdef KORVALEN_X86_GNU
    if (kCpuHasAvx) ZeroUpperAvx();
#endif
}

int32_t ReferenceDestination(int column, int row, Real centreLatitude, Real centreLongitude) {
    return ReferenceOffset(column, row, centreLatitude, centreLongitude, geo::MapSize);
}

void ProjectReference(ConstIndexedView world, IndexedView target, Real& centreLatitude,
                      Real centreLongitude, const ColumnProgress& progress) {
    for (int c = 0; c < geo::WorldWidth; ++c) {
        for (int r = 0; r < geo::WorldHeight; ++r) {
            const int32_t at = ReferenceOffset(c, r, centreLatitude, centreLongitude, target.stride);
            if (at >= 0) target.bits[at] = world.at(c, r);
        }
        if (progress) progress(c);
    }
}

AzimuthalProjector::AzimuthalProjector(int threads)
    : threads_(threads < 1 ? 1 : threads),
      sinPhi2_(geo::WorldHeight),
      cosPhi2_(geo::WorldHeight),
      cosDelta_(geo::WorldWidth),
      west_(geo::WorldWidth),
      destination_(static_cast<size_t>(geo::WorldWidth) * geo::WorldHeight),
      recheckedPerColumn_(geo::WorldWidth) {}

int AzimuthalProjector::ComputeColumn(int column) {
    constexpr double kScale = geo::MapRadius / static_cast<double>(geo::Pi);  // pixels per radian
    constexpr double R = geo::MapRadius;
    const double s1 = sinPhi1_;
    const double c1 = cosPhi1_;
    const double cd = cosDelta_[column];
    const bool west = west_[column] != 0;
    const double bearingError = 2 * std::sqrt(1e-15 / std::fabs(c1));
    int32_t* out = destination_.data() + static_cast<size_t>(column) * geo::WorldHeight;
    int rechecked = 0;
    ClearUpperVectorState();  // per column: the progress callback runs between columns

    for (int r = 0; r < geo::WorldHeight; ++r) {
        const double s2 = sinPhi2_[r];
        double x = s1 * s2 + c1 * cosPhi2_[r] * cd;
        if (x > 1) x = 1;
        if (x < -1) x = -1;
        const double s = std::sqrt(1 - x * x);
        bool exact = s < kSinRangeMargin;
        double fx = 0, fy = 0, k = 0;
        if (!exact) {
            const double c = std::acos(x);
            double b = (s1 * x + c1 * s - s2) / (2 * c1 * s);
            if (!std::isfinite(b)) b = 0;
            if (b > 1) b = 1;
            double sinA = 0, cosA = 1;
            if (b > 0) {
                sinA = 2 * std::sqrt(b * (1 - b));
                cosA = 1 - 2 * b;
            }
            if (west) sinA = -sinA;
            k = c * kScale;
            fx = sinA * k + R;
            fy = R - cosA * k;
            // Only a coordinate next to a half can round differently from the
            // reference. The bound: B is off by at most 1e-15 / (|cos φ1| sin²c)
            // (mostly through cos c → c, which loses digits as sin c → 0), a
            // square root turns that into at most 2√dB on sin A and cos A, and
            // the radius is off by about 1e-13 / sin c pixels.
            const double hx = std::fabs(fx - std::floor(fx) - 0.5);
            const double hy = std::fabs(fy - std::floor(fy) - 0.5);
            const double e = (k * bearingError + 1e-13) / s + kHalfMargin;
            exact = hx < e || hy < e;
        }
        if (exact) {
            Real lat = centreLat_;
            out[r] = ReferenceOffset(column, r, lat, centreLon_, geo::MapSize);
            ++rechecked;
            continue;
        }
        const double px = std::floor(fx + 0.5);
        const double py = std::floor(fy + 0.5);
        if (px < 0 || px >= geo::MapSize || py < 0 || py >= geo::MapSize)
            out[r] = -1;
        else
            out[r] = static_cast<int32_t>(py) * geo::MapSize + static_cast<int32_t>(px);
    }
    return rechecked;
}

void AzimuthalProjector::ComputeColumns(int first, int last, std::atomic<int>* done) {
    for (int c = first; c < last; ++c) {
        recheckedPerColumn_[c] = ComputeColumn(c);
        if (done) done->store(c + 1, std::memory_order_release);
    }
}

void AzimuthalProjector::Project(ConstIndexedView world, IndexedView target, Real& centreLatitude,
                                 Real centreLongitude, const ColumnProgress& progress) {
    // The same replacement and conversions as the reference, in extended
    // precision, so the per-point work starts from identical terms.
    if (centreLatitude == 90) centreLatitude = geo::NorthPoleReplacement;
    centreLat_ = centreLatitude;
    centreLon_ = centreLongitude;
    const Real phi1 = centreLatitude * geo::Pi / 180;
    const Real lambda1 = centreLongitude * geo::Pi / 180;
    sinPhi1_ = static_cast<double>(std::sin(phi1));
    cosPhi1_ = static_cast<double>(std::cos(phi1));
    for (int r = 0; r < geo::WorldHeight; ++r) {
        Real lat = geo::WorldPixelToLatLong(0, r).latitude;
        if (lat == 90) lat = geo::NorthPoleReplacement;
        const Real phi2 = lat * geo::Pi / 180;
        sinPhi2_[r] = static_cast<double>(std::sin(phi2));
        cosPhi2_[r] = static_cast<double>(std::cos(phi2));
    }
    for (int c = 0; c < geo::WorldWidth; ++c) {
        const Real lambda2 = geo::WorldPixelToLatLong(c, 0).longitude * geo::Pi / 180;
        const Real delta = lambda2 - lambda1;
        cosDelta_[c] = static_cast<double>(std::cos(delta));
        west_[c] = ((-geo::Pi < delta && delta < 0) || delta > geo::Pi) ? 1 : 0;
    }

    // Offsets were computed for a 600-byte stride; the scatter converts.
    auto scatter = [&](int c) {
        const int32_t* d = destination_.data() + static_cast<size_t>(c) * geo::WorldHeight;
        for (int r = 0; r < geo::WorldHeight; ++r) {
            const int32_t at = d[r];
            if (at < 0) continue;
            const int y = at / geo::MapSize;
            const int x = at - y * geo::MapSize;
            target.bits[y * target.stride + x] = world.at(c, r);
        }
        if (progress) progress(c);
    };

    const int half = threads_ > 1 ? geo::WorldWidth / 2 : geo::WorldWidth;
    std::atomic<int> workerDone{half};
    std::thread worker;
    const JoinOnExit joinWorker{worker};
    if (half < geo::WorldWidth)
        worker = std::thread([this, half, &workerDone] { ComputeColumns(half, geo::WorldWidth, &workerDone); });
    for (int c = 0; c < half; ++c) {
        recheckedPerColumn_[c] = ComputeColumn(c);
        scatter(c);
    }
    for (int c = half; c < geo::WorldWidth; ++c) {
        while (workerDone.load(std::memory_order_acquire) <= c) std::this_thread::yield();
        scatter(c);
    }
    rechecked_ = 0;
    for (int n : recheckedPerColumn_) rechecked_ += n;
}

}  // namespace korvalen::generator
