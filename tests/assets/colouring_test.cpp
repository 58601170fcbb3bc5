#include "tools/mapmaker/colouring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

using namespace korvalen::mapmaker;

namespace {

const std::vector<uint8_t> kFour{1, 2, 4, 5};

Adjacency Graph(int nodes, const std::vector<std::pair<int, int>>& edges) {
    Adjacency g;
    g.nodes = nodes;
    for (const auto& [a, b] : edges) g.Add(a, b);
    return g;
}

Adjacency Complete(int nodes) {
    Adjacency g;
    g.nodes = nodes;
    for (int a = 0; a < nodes; ++a)
        for (int b = a + 1; b < nodes; ++b) g.Add(a, b);
    return g;
}

TEST(Adjacency, StoresEachPairOnceWithoutLoops) {
    Adjacency g = Graph(3, {{2, 0}, {0, 2}, {1, 1}});
    EXPECT_EQ(g.pairs.size(), 1u);
    EXPECT_TRUE(g.Contains(0, 2));
    EXPECT_TRUE(g.Contains(2, 0));
    EXPECT_FALSE(g.Contains(1, 1));
    const auto lists = g.Lists();
    EXPECT_EQ(lists[0], std::vector<int>{2});
    EXPECT_EQ(lists[2], std::vector<int>{0});
    EXPECT_TRUE(lists[1].empty());
}

TEST(ColourGraph, NeighboursDifferAndOnlyGivenColoursAreUsed) {
    struct Case {
        const char* what;
        Adjacency graph;
    } cases[] = {
        {"path", Graph(5, {{0, 1}, {1, 2}, {2, 3}, {3, 4}})},
        {"triangle", Complete(3)},
        {"K4", Complete(4)},
        {"star", Graph(6, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}})},
        {"wheel", Graph(6, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1}})},
        {"two components", Graph(6, {{0, 1}, {1, 2}, {2, 0}, {3, 4}})},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> colours = ColourGraph(c.graph, kFour);
        ASSERT_EQ(colours.size(), static_cast<size_t>(c.graph.nodes)) << c.what;
        for (const uint8_t colour : colours) {
            EXPECT_NE(std::find(kFour.begin(), kFour.end(), colour), kFour.end()) << c.what;
        }
        for (const auto& [a, b] : c.graph.pairs) EXPECT_NE(colours[a], colours[b]) << c.what << " " << a << "-" << b;
    }
}

TEST(ColourGraph, SpreadsColoursOverUnrelatedNodes) {
    const std::vector<uint8_t> colours = ColourGraph(Graph(4, {}), kFour);
    EXPECT_EQ(colours, (std::vector<uint8_t>{1, 2, 4, 5}));
}

TEST(ColourGraph, TooFewColoursIsAnError) {
    EXPECT_THROW(ColourGraph(Complete(5), kFour), std::runtime_error);
    EXPECT_NO_THROW(ColourGraph(Complete(4), kFour));
}

TEST(ColourGraph, SkippedNodesGetZeroAndConstrainNobody) {
    // K5 needs five colours, but with node 2 skipped four will do.
    const std::vector<uint8_t> colours = ColourGraph(Complete(5), kFour, {2});
    EXPECT_EQ(colours[2], 0);
    for (int a = 0; a < 5; ++a) {
        for (int b = a + 1; b < 5; ++b) {
            if (a == 2 || b == 2) continue;
            EXPECT_NE(colours[a], colours[b]);
        }
    }
}

}  // namespace
