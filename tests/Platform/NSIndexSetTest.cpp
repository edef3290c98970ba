#include <gtest/gtest.h>

#include <random>
#include <set>

#include "NSIndexSet.h"
#include "TestRandom.h"

namespace {

TEST(NSIndexSet, EmptySetAnswersNotFound) {
    NSIndexSet set;
    EXPECT_EQ(set.firstIndex(), NSNotFound);
    EXPECT_EQ(set.lastIndex(), NSNotFound);
    EXPECT_EQ(set.indexGreaterThanIndex(3), NSNotFound);
    EXPECT_EQ(set.indexLessThanIndex(3), NSNotFound);
    EXPECT_NE(NSNotFound, NSUIntegerMax);
}

TEST(NSIndexSet, RangesMergeAndSplit) {
    NSIndexSet set;
    set.addIndexesInRange({2, 3});  // 2 3 4
    set.addIndex(5);                // touches: one range 2..5
    set.addIndex(9);
    ASSERT_EQ(set.ranges().size(), 2u);
    EXPECT_EQ(set.ranges()[0], NSMakeRange(2, 4));
    EXPECT_EQ(set.count(), 5u);
    set.removeIndex(3);
    EXPECT_EQ(set.indexes(), (std::vector<uint64_t>{2, 4, 5, 9}));
    EXPECT_EQ(set.indexGreaterThanIndex(5), 9u);
    EXPECT_EQ(set.indexLessThanIndex(4), 2u);
    EXPECT_EQ(set.countOfIndexesInRange({3, 4}), 2u);
    EXPECT_TRUE(set.containsIndexesInRange({4, 2}));
    EXPECT_FALSE(set.containsIndexesInRange({2, 3}));
}

TEST(NSIndexSet, ShiftMovesAndSwallows) {
    NSIndexSet set{1, 3, 4, 8};
    set.shiftIndexesStartingAtIndex(3, 2);
    EXPECT_EQ(set.indexes(), (std::vector<uint64_t>{1, 5, 6, 10}));
    set.shiftIndexesStartingAtIndex(6, -2);  // 4 and 5 are run over: 5 goes, 6 lands on 4
    EXPECT_EQ(set.indexes(), (std::vector<uint64_t>{1, 4, 8}));
    set.shiftIndexesStartingAtIndex(1, -5);  // indexes that would fall below 0 are dropped
    EXPECT_EQ(set.indexes(), (std::vector<uint64_t>{3}));
}

// Random edits against a plain std::set of the same indexes.
TEST(NSIndexSet, BehavesLikeASetOfIndexes) {
    const uint32_t seed = test_random::seed(7);
    SCOPED_TRACE(test_random::reproduction(seed));
    std::mt19937 random(seed);
    NSIndexSet set;
    std::set<uint64_t> model;
    for (int step = 0, steps = test_random::rounds(4000); step < steps; ++step) {
        uint64_t location = random() % 60;
        uint64_t length = random() % 6;
        switch (random() % 4) {
            case 0:
                set.addIndexesInRange({location, length});
                for (uint64_t i = 0; i < length; ++i) model.insert(location + i);
                break;
            case 1:
                set.removeIndexesInRange({location, length});
                for (uint64_t i = 0; i < length; ++i) model.erase(location + i);
                break;
            case 2: {
                int64_t delta = static_cast<int64_t>(random() % 7) - 3;
                set.shiftIndexesStartingAtIndex(location, delta);
                std::set<uint64_t> shifted;
                for (uint64_t i : model) {
                    if (i < location) {
                        if (delta < 0 && i + static_cast<uint64_t>(-delta) >= location) continue;
                        shifted.insert(i);
                    } else if (static_cast<int64_t>(i) + delta >= 0) {
                        shifted.insert(static_cast<uint64_t>(static_cast<int64_t>(i) + delta));
                    }
                }
                model = shifted;
                break;
            }
            default:
                ASSERT_EQ(set.containsIndex(location), model.count(location) == 1);
                auto above = model.upper_bound(location);
                ASSERT_EQ(set.indexGreaterThanIndex(location),
                          above == model.end() ? NSNotFound : *above);
        }
        ASSERT_EQ(set.count(), model.size()) << "step " << step;
        ASSERT_EQ(set.indexes(), std::vector<uint64_t>(model.begin(), model.end()));
    }
}

TEST(NSIndexSet, EnumerationStops) {
    NSIndexSet set{2, 4, 6, 8};
    std::vector<uint64_t> seen;
    set.enumerateIndexesReverse([&](uint64_t index, bool& stop) {
        seen.push_back(index);
        stop = index == 6;
    });
    EXPECT_EQ(seen, (std::vector<uint64_t>{8, 6}));
}

}  // namespace
