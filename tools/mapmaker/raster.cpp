#include "tools/mapmaker/raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace korvalen::mapmaker {

int Grid::FirstColumnAtOrEast(double lon) const {
    // Estimate, then step onto the exact boundary: the estimate's rounding
    // must not decide which pixel a border passes.
    double estimate = std::ceil((lon + 180.0) * width / 360.0);
    estimate = std::clamp(estimate, 0.0, static_cast<double>(width));
    int x = static_cast<int>(estimate);
    while (x > 0 && Longitude(x - 1) >= lon) --x;
    while (x < width && Longitude(x) < lon) ++x;
    return x;
}

int Grid::FirstRowSouthOf(double lat) const {
    double estimate = std::floor((90.0 - lat) * height / 180.0);
    estimate = std::clamp(estimate, 0.0, static_cast<double>(height));
    int y = static_cast<int>(estimate);
    while (y > 0 && Latitude(y - 1) < lat) --y;
    while (y < height && Latitude(y) >= lat) ++y;
    return y;
}

void Grid::NearestPixel(double lon, double lat, int& x, int& y) const {
    const long column = std::lround((lon + 180.0) * width / 360.0);
    x = static_cast<int>(((column % width) + width) % width);
    y = static_cast<int>(std::clamp(std::lround((90.0 - lat) * height / 180.0), 0L, static_cast<long>(height - 1)));
}

std::vector<Point> PlaneRing(const Ring& ring) {
    std::vector<Point> out;
    if (ring.empty()) return out;
    out.reserve(ring.size() + 2);
    out.push_back(ring.front());
    double latitudeSum = ring.front().lat;
    for (size_t i = 1; i < ring.size(); ++i) {
        double step = ring[i].lon - ring[i - 1].lon;
        if (std::fabs(step) > 180.0) step -= 360.0 * std::round(step / 360.0);
        out.push_back({out.back().lon + step, ring[i].lat});
        latitudeSum += ring[i].lat;
    }
    const double turns = std::round((out.back().lon - out.front().lon) / 360.0);
    const bool closedInPlane = out.size() > 1 && out.back() == out.front();
    if (turns != 0) {
        const double pole = latitudeSum >= 0 ? 90.0 : -90.0;
        const Point start = out.front(), end = out.back();
        out.push_back({end.lon, pole});
        out.push_back({start.lon, pole});
    } else if (closedInPlane) {
        out.pop_back();
    }
    return out;
}

void AddRingEdges(std::vector<Edge>& edges, const std::vector<Point>& planeRing) {
    const size_t n = planeRing.size();
    if (n < 3) return;
    for (const double shift : {-360.0, 0.0, 360.0}) {
        for (size_t i = 0; i < n; ++i) {
            Point a = planeRing[i];
            Point b = planeRing[(i + 1) % n];
            if (a.lat == b.lat) continue;  // a horizontal edge crosses no row
            if (b.lat < a.lat) std::swap(a, b);
            edges.push_back({a.lon + shift, a.lat, b.lon + shift, b.lat});
        }
    }
}

void FillEvenOdd(const std::vector<Edge>& edges, const Grid& grid,
                 const std::function<void(int y, int xBegin, int xEnd)>& span) {
    // Every (row, crossing longitude) pair, then sorted: rows whose latitude
    // lies in [y0, y1) cross the edge, so a vertex on a row counts once.
    std::vector<std::pair<int, double>> crossings;
    for (const Edge& e : edges) {
        const int rowBegin = grid.FirstRowSouthOf(e.y1);
        const int rowEnd = grid.FirstRowSouthOf(e.y0);
        for (int y = rowBegin; y < rowEnd; ++y) {
            const double lat = grid.Latitude(y);
            crossings.emplace_back(y, e.x0 + (lat - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0));
        }
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t i = 0; i + 1 < crossings.size();) {
        const int y = crossings[i].first;
        size_t end = i;
        while (end < crossings.size() && crossings[end].first == y) ++end;
        for (size_t k = i; k + 1 < end; k += 2) {
            const int xBegin = grid.FirstColumnAtOrEast(crossings[k].second);
            const int xEnd = grid.FirstColumnAtOrEast(crossings[k + 1].second);
            if (xBegin < xEnd) span(y, xBegin, xEnd);
        }
        i = end;
    }
}

double RingArea(const std::vector<Point>& planeRing) {
    if (planeRing.empty()) return 0;
    const Point origin = planeRing.front();
    double area2 = 0;
    for (size_t i = 0; i < planeRing.size(); ++i) {
        const Point& a = planeRing[i];
        const Point& b = planeRing[(i + 1) % planeRing.size()];
        area2 += (a.lon - origin.lon) * (b.lat - origin.lat) - (b.lon - origin.lon) * (a.lat - origin.lat);
    }
    return std::fabs(area2) / 2;
}

Point RingCentroid(const std::vector<Point>& planeRing) {
    Point c;
    if (planeRing.empty()) return c;
    // Relative to the first vertex: islands are tiny next to their
    // coordinates, and the cross products would otherwise cancel.
    const Point origin = planeRing.front();
    double area2 = 0, cx = 0, cy = 0, mx = 0, my = 0;
    const size_t n = planeRing.size();
    for (size_t i = 0; i < n; ++i) {
        const Point a{planeRing[i].lon - origin.lon, planeRing[i].lat - origin.lat};
        const Point b{planeRing[(i + 1) % n].lon - origin.lon, planeRing[(i + 1) % n].lat - origin.lat};
        const double cross = a.lon * b.lat - b.lon * a.lat;
        area2 += cross;
        cx += (a.lon + b.lon) * cross;
        cy += (a.lat + b.lat) * cross;
        mx += a.lon;
        my += a.lat;
    }
    if (std::fabs(area2) > 1e-12) {
        c = {origin.lon + cx / (3.0 * area2), origin.lat + cy / (3.0 * area2)};
    } else {
        c = {origin.lon + mx / n, origin.lat + my / n};
    }
    c.lon -= 360.0 * std::floor((c.lon + 180.0) / 360.0);
    return c;
}

}  // namespace korvalen::mapmaker
