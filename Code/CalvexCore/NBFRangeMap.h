// A piecewise map from positions of a rewritten text to values (ranges of the text before the
// rewrite): a node set at a boundary holds from there up to the next boundary. Positions before
// the first boundary, and those under an emptied node, map to nothing.
#ifndef NUMBERA_CORE_NBF_RANGE_MAP_H
#define NUMBERA_CORE_NBF_RANGE_MAP_H

#include <cstdint>
#include <iterator>
#include <map>
#include <optional>

#include "NBFObject.h"

namespace NBF {

template <typename Value>
class RangeMap : public Object<RangeMap<Value>> {
  public:
    static RangeMap* create() { return new RangeMap(); }

    // [start, end) takes the value; from end on, whatever held at end before holds again.
    void put(int32_t start, int32_t end, const Value& value) {
        if (start >= end) return;
        Node after = nodeAt(end);
        m_nodes.erase(m_nodes.lower_bound(start), m_nodes.upper_bound(end));
        m_nodes[start] = Node{value, false};
        m_nodes[end] = after;
    }

    std::optional<Value> get(int32_t position) const {
        Node node = nodeAt(position);
        if (node.empty) return std::nullopt;
        return node.value;
    }

    // The greatest position in [low, high) under a non-empty node.
    std::optional<int32_t> findMaxKeyInRange(int32_t low, int32_t high) const {
        if (low >= high) return std::nullopt;
        // The node in effect at high - 1, then the ones starting further left.
        auto it = m_nodes.upper_bound(high - 1);
        int32_t limit = high - 1;
        while (it != m_nodes.begin()) {
            --it;
            if (!it->second.empty) return limit;
            if (it->first <= low) return std::nullopt;
            limit = it->first - 1;
        }
        return std::nullopt;
    }

    size_t countOfBoundaries() const { return m_nodes.size(); }

  private:
    struct Node {
        Value value{};
        bool empty = true;
    };

    RangeMap() = default;

    Node nodeAt(int32_t position) const {
        auto it = m_nodes.upper_bound(position);
        if (it == m_nodes.begin()) return Node{};
        return std::prev(it)->second;
    }

    std::map<int32_t, Node> m_nodes;
};

}  // namespace NBF

#endif
