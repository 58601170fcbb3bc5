#include "tools/mapmaker/worldmap.h"

#include "data/palette.h"

#include <deque>
#include <limits>

namespace korvalen::mapmaker {

namespace {

const Grid kGrid{kWorldWidth, kWorldHeight};

size_t Index(int x, int y) { return static_cast<size_t>(y) * kWorldWidth + x; }
int WrapX(int x) { return (x + kWorldWidth) % kWorldWidth; }

std::vector<Edge> PolygonEdges(const Polygon& polygon) {
    std::vector<Edge> edges;
    for (const Ring& ring : polygon.rings) AddRingEdges(edges, PlaneRing(ring));
    return edges;
}

int FindCountry(const std::vector<Country>& countries, const char* id) {
    for (size_t i = 0; i < countries.size(); ++i) {
        if (countries[i].id == id) return static_cast<int>(i);
    }
    return -1;
}

// Pairs of countries that must differ: any two with pixels at most
// kNeighbourRadius apart. That covers touching side by side or corner to
// corner, a country one pixel wide that turns wholly into border line and
// leaves its two neighbours face to face, and neighbours across a strait
// (Russia and Alaska), which would otherwise read as one country.
Adjacency FindNeighbours(const std::vector<int>& labels, int countryCount) {
    std::vector<std::pair<int, int>> offsets;
    for (int dy = 0; dy <= kNeighbourRadius; ++dy) {
        for (int dx = -kNeighbourRadius; dx <= kNeighbourRadius; ++dx) {
            if (dy == 0 && dx <= 0) continue;  // each pair of pixels once
            if (dx * dx + dy * dy <= kNeighbourRadius * kNeighbourRadius) offsets.emplace_back(dx, dy);
        }
    }
    Adjacency graph;
    graph.nodes = countryCount;
    for (int y = 0; y < kWorldHeight; ++y) {
        for (int x = 0; x < kWorldWidth; ++x) {
            const int a = labels[Index(x, y)];
            if (a < 0) continue;
            for (const auto& [dx, dy] : offsets) {
                const int ny = y + dy;
                if (ny >= kWorldHeight) continue;
                const int b = labels[Index(WrapX(x + dx), ny)];
                if (b >= 0 && b != a) graph.Add(a, b);
            }
        }
    }
    return graph;
}

// Steps from each pixel of @p country to the nearest pixel that is not it.
std::vector<int> DistanceInside(const std::vector<int>& labels, int country) {
    std::vector<int> distance(labels.size(), std::numeric_limits<int>::max());
    std::deque<std::pair<int, int>> queue;
    for (int y = 0; y < kWorldHeight; ++y) {
        for (int x = 0; x < kWorldWidth; ++x) {
            if (labels[Index(x, y)] != country) {
                distance[Index(x, y)] = 0;
                queue.emplace_back(x, y);
            }
        }
    }
    static const int kSteps[][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        for (const auto& s : kSteps) {
            const int nx = WrapX(x + s[0]), ny = y + s[1];
            if (ny < 0 || ny >= kWorldHeight) continue;
            if (distance[Index(nx, ny)] > distance[Index(x, y)] + 1) {
                distance[Index(nx, ny)] = distance[Index(x, y)] + 1;
                queue.emplace_back(nx, ny);
            }
        }
    }
    return distance;
}

bool IsLine(const std::vector<int>& labels, int x, int y) {
    const int a = labels[Index(x, y)];
    static const int kSteps[][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& s : kSteps) {
        const int ny = y + s[1];
        if (ny < 0 || ny >= kWorldHeight) continue;
        if (labels[Index(WrapX(x + s[0]), ny)] < 0) return true;
    }
    const int right = labels[Index(WrapX(x + 1), y)];
    if (right >= 0 && right != a) return true;
    if (y + 1 < kWorldHeight) {
        const int below = labels[Index(x, y + 1)];
        if (below >= 0 && below != a) return true;
    }
    return false;
}

}  // namespace

WorldMap MakeWorldMap(const std::vector<Country>& countries) {
    WorldMap map;
    const int countryCount = static_cast<int>(countries.size());
    map.labels.assign(static_cast<size_t>(kWorldWidth) * kWorldHeight, -1);

    // Fill. Borders are shared exactly, so overlaps do not arise from the
    // data; should one, the country earlier in the file keeps the pixel.
    std::vector<long> filled(countries.size(), 0);
    struct Dot {
        int country;
        Point at;
        double area;
    };
    std::vector<Dot> dots;
    for (int c = 0; c < countryCount; ++c) {
        const Country& country = countries[static_cast<size_t>(c)];
        std::vector<Edge> edges;
        for (const Polygon& polygon : country.polygons) {
            std::vector<Edge> own = PolygonEdges(polygon);
            long pixels = 0;
            FillEvenOdd(own, kGrid, [&](int, int b, int e) { pixels += e - b; });
            if (pixels == 0 && !polygon.rings.empty()) {
                ++map.polygonsWithoutPixel;
                const std::vector<Point> outer = PlaneRing(polygon.rings.front());
                dots.push_back({c, RingCentroid(outer), RingArea(outer)});
            }
            edges.insert(edges.end(), own.begin(), own.end());
        }
        FillEvenOdd(edges, kGrid, [&](int y, int b, int e) {
            for (int x = b; x < e; ++x) {
                int& label = map.labels[Index(x, y)];
                if (label < 0) {
                    label = c;
                    ++filled[static_cast<size_t>(c)];
                }
            }
        });
    }

    const int antarctica = FindCountry(countries, kAntarcticaId);
    const int greenland = FindCountry(countries, kGreenlandId);

    map.neighbours = FindNeighbours(map.labels, countryCount);
    std::vector<int> skip;
    for (int c = 0; c < countryCount; ++c) {
        if (c == antarctica || filled[static_cast<size_t>(c)] == 0) skip.push_back(c);
    }
    const std::vector<uint8_t> land(std::begin(palette::kLandColours), std::end(palette::kLandColours));
    map.colours = ColourGraph(map.neighbours, land, skip);

    std::vector<int> iceDistance;
    if (greenland >= 0) iceDistance = DistanceInside(map.labels, greenland);

    map.image = IndexedImage(kWorldWidth, kWorldHeight, palette::kSea);
    for (int y = 0; y < kWorldHeight; ++y) {
        for (int x = 0; x < kWorldWidth; ++x) {
            const int c = map.labels[Index(x, y)];
            if (c < 0) continue;
            uint8_t index = map.colours[static_cast<size_t>(c)];
            if (c == antarctica) index = palette::kWhite;
            if (c == greenland && iceDistance[Index(x, y)] >= kIceCapDistance) index = palette::kWhite;
            if (IsLine(map.labels, x, y)) index = palette::kBlack;
            map.image.Set(x, y, index);
        }
    }

    // Dots go on sea only, where they read as islands; a dot on land would
    // blot the coast or a neighbour. A country left with neither pixel nor
    // dot (Vatican, Monaco, Andorra: enclosed by others) still gets one, at
    // the centroid of its largest polygon, over whatever is there.
    std::vector<bool> dotted(countries.size(), false);
    std::vector<int> largest(countries.size(), -1);
    for (size_t i = 0; i < dots.size(); ++i) {
        const Dot& dot = dots[i];
        const size_t c = static_cast<size_t>(dot.country);
        if (largest[c] < 0 || dot.area > dots[static_cast<size_t>(largest[c])].area) largest[c] = static_cast<int>(i);
        int x = 0, y = 0;
        kGrid.NearestPixel(dot.at.lon, dot.at.lat, x, y);
        if (map.image.At(x, y) != palette::kSea) continue;
        map.image.Set(x, y, palette::kBlack);
        map.dotPixels.push_back(static_cast<int>(Index(x, y)));
        dotted[c] = true;
    }
    for (int c = 0; c < countryCount; ++c) {
        const size_t u = static_cast<size_t>(c);
        if (filled[u] != 0 || dotted[u] || largest[u] < 0) continue;
        const Dot& dot = dots[static_cast<size_t>(largest[u])];
        int x = 0, y = 0;
        kGrid.NearestPixel(dot.at.lon, dot.at.lat, x, y);
        map.image.Set(x, y, palette::kBlack);
        map.dotPixels.push_back(static_cast<int>(Index(x, y)));
        map.dottedOnLand.push_back(countries[u].name);
        dotted[u] = true;
    }
    map.dots = static_cast<int>(map.dotPixels.size());
    for (int c = 0; c < countryCount; ++c) {
        if (filled[static_cast<size_t>(c)] != 0) continue;
        map.countriesWithoutPixel.push_back(countries[static_cast<size_t>(c)].name);
        if (dotted[static_cast<size_t>(c)]) ++map.countriesWithoutPixelDotted;
    }

    long sea = 0;
    for (const uint8_t index : map.image.pixels) sea += index == palette::kSea;
    map.seaShare = static_cast<double>(sea) / static_cast<double>(map.image.pixels.size());
    return map;
}

}  // namespace korvalen::mapmaker
