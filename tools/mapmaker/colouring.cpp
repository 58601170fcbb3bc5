#include "tools/mapmaker/colouring.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <string>

namespace korvalen::mapmaker {

void Adjacency::Add(int a, int b) {
    if (a == b) return;
    pairs.insert(std::minmax(a, b));
}

bool Adjacency::Contains(int a, int b) const { return pairs.count(std::minmax(a, b)) != 0; }

std::vector<std::vector<int>> Adjacency::Lists() const {
    std::vector<std::vector<int>> lists(static_cast<size_t>(nodes));
    for (const auto& [a, b] : pairs) {
        lists[static_cast<size_t>(a)].push_back(b);
        lists[static_cast<size_t>(b)].push_back(a);
    }
    return lists;
}

std::vector<uint8_t> ColourGraph(const Adjacency& graph, const std::vector<uint8_t>& colours,
                                 const std::vector<int>& skip) {
    const size_t n = static_cast<size_t>(graph.nodes);
    std::vector<bool> skipped(n, false);
    for (const int s : skip) skipped.at(static_cast<size_t>(s)) = true;

    std::vector<std::vector<int>> lists = graph.Lists();
    for (auto& list : lists) {
        list.erase(std::remove_if(list.begin(), list.end(), [&](int v) { return skipped[static_cast<size_t>(v)]; }),
                   list.end());
    }

    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return lists[static_cast<size_t>(a)].size() > lists[static_cast<size_t>(b)].size();
    });

    std::vector<uint8_t> result(n, 0);
    std::vector<bool> coloured(n, false);
    std::vector<int> uses(colours.size(), 0);
    for (const int node : order) {
        const size_t u = static_cast<size_t>(node);
        if (skipped[u]) continue;
        std::vector<bool> taken(colours.size(), false);
        for (const int v : lists[u]) {
            if (!coloured[static_cast<size_t>(v)]) continue;
            for (size_t c = 0; c < colours.size(); ++c) {
                if (colours[c] == result[static_cast<size_t>(v)]) taken[c] = true;
            }
        }
        int best = -1;
        for (size_t c = 0; c < colours.size(); ++c) {
            if (taken[c]) continue;
            if (best < 0 || uses[c] < uses[static_cast<size_t>(best)]) best = static_cast<int>(c);
        }
        if (best < 0) throw std::runtime_error("node " + std::to_string(node) + " has no colour left");
        result[u] = colours[static_cast<size_t>(best)];
        coloured[u] = true;
        ++uses[static_cast<size_t>(best)];
    }
    return result;
}

}  // namespace korvalen::mapmaker
