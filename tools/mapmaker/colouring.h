#pragma once
// Colouring countries so that neighbours differ.
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

namespace korvalen::mapmaker {

/// Undirected graph over nodes 0…n−1; each pair stored once, smaller first.
struct Adjacency {
    int nodes = 0;
    std::set<std::pair<int, int>> pairs;

    void Add(int a, int b);
    bool Contains(int a, int b) const;
    std::vector<std::vector<int>> Lists() const;
};

/// Greedy colouring, nodes taken by falling degree (ties: lower index first).
/// Each node takes, among the colours none of its coloured neighbours has,
/// the one given to the fewest nodes so far (ties: earlier in @p colours),
/// which spreads the palette instead of painting most of the map in the
/// first colour. Nodes listed in @p skip get colour 0 and constrain nobody.
/// @throws std::runtime_error when a node has no colour left.
std::vector<uint8_t> ColourGraph(const Adjacency& graph, const std::vector<uint8_t>& colours,
                                 const std::vector<int>& skip = {});

}  // namespace korvalen::mapmaker
