#include <gtest/gtest.h>

#include "NCCurrencySymbols.h"
#include "NCIndex.h"
#include "NCIndexOffsets.h"
#include "NCIndexQueue.h"
#include "NSIndexSet.h"

namespace {

TEST(NCIndexSet, MembersFollowTheirOffsetByValue) {
    NCIndex a(3), b(4);
    EXPECT_EQ(a.hash(), b.hash());
    EXPECT_FALSE(a.isEqual(b));
    NCIndexSet set = NCIndexSet::indexSetWithIndexes({1, 5, 5, 9});
    EXPECT_EQ(set.count(), 3u);
    NCIndexSet shared;
    shared.addIndexesFromIndexSet(set);
    set.addOffset(2);
    EXPECT_TRUE(set.containsIndex(7));
    EXPECT_FALSE(set.containsIndex(5));
    EXPECT_TRUE(shared.containsIndex(11));  // the same index objects moved
    EXPECT_EQ(set.description(), "{(3, 7, 11)}");
}

TEST(NCIndexPath, IsAStack) {
    NCIndexPath path;
    EXPECT_EQ(path.topIndex(), 0);
    path.pushIndex(4);
    path.pushIndex(9);
    EXPECT_TRUE(path.containsIndex(4));
    EXPECT_EQ(path.popIndex(), 9);
    EXPECT_EQ(path.topIndex(), 4);
    EXPECT_FALSE(path.containsIndex(9));
}

TEST(NCIndexQueue, GrowsByChunksAndEmpties) {
    NCIndexQueue queue(2);
    for (int64_t i = 1; i <= 9; ++i) queue.putIndex(i * 10);
    EXPECT_EQ(queue.getCount(), 9u);
    EXPECT_EQ(queue.indexAtQueueIndex(8), 90);
    EXPECT_EQ(queue.indexAtQueueIndex(9), 0);
    EXPECT_EQ(queue.indexAtQueueIndex(-1), 0);
    EXPECT_EQ(queue.getIndex(), 10);
    EXPECT_EQ(queue.getIndex(), 20);
    EXPECT_EQ(queue.indexAtQueueIndex(0), 30);
    EXPECT_FALSE(queue.containsIndex(20));
    EXPECT_TRUE(queue.containsIndex(90));
    for (int i = 0; i < 7; ++i) queue.getIndex();
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_EQ(queue.getIndex(), 0);
    EXPECT_EQ(queue.description(), "");

    NCIndexQueue fresh;  // no node until the first put
    EXPECT_TRUE(fresh.isEmpty());
    fresh.putIndex(3);
    fresh.putIndex(3);
    EXPECT_EQ(fresh.description(), "3, 3");
    fresh.getIndex();
    EXPECT_FALSE(fresh.containsIndex(3));  // a twice-queued value is forgotten after one read
}

TEST(NCContiguousIndexOffsets, StepFunction) {
    NCContiguousIndexOffsets offsets;
    EXPECT_EQ(offsets.offsetForLocation(4), 0);
    offsets.offsetBy(2, 5);
    offsets.offsetBy(-1, 10);
    EXPECT_EQ(offsets.offsetForLocation(3), 0);
    EXPECT_EQ(offsets.offsetForLocation(7), 2);
    EXPECT_EQ(offsets.offsetForLocation(10), 1);
    // An edit before existing boundaries moves them.
    offsets.offsetBy(3, 6);
    EXPECT_EQ(offsets.offsetForLocation(6), 5);
    EXPECT_EQ(offsets.boundaries().count(7), 1u);  // 10 moved to 10 - 3
    EXPECT_EQ(offsets.offsetForLocation(7), 4);
}

TEST(NCChangedIndexSequenceMapping, MapsBackToOriginalLocations) {
    NCChangedIndexSequenceMapping mapping;
    EXPECT_EQ(mapping.originalLocationForCurrentLocation(4), 0u);
    mapping.insertElements(2, 3);  // two new elements at 3: current 5 was original 3
    EXPECT_EQ(mapping.originalLocationForCurrentLocation(5), 3u);
    EXPECT_EQ(mapping.originalLocationForCurrentLocation(3), 3u);  // never before the boundary
    EXPECT_EQ(mapping.originalLocationForCurrentLocation(1), 1u);
    mapping.removeElements(1, 8);  // beyond every boundary: the last offset grows
    EXPECT_EQ(mapping.offsetForLocation(20), -1);
}

TEST(NSIndexSetStdInt, CopiesUpToTheMaximum) {
    NSIndexSet set{1, 4, 9};
    int32_t buffer[3] = {};
    EXPECT_EQ(set.getIndexesInt32(buffer, 2), 2u);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[1], 4);
    uint32_t all[4] = {};
    EXPECT_EQ(set.getIndexesUInt32(all, 4), 3u);
    EXPECT_EQ(all[2], 9u);
}

TEST(NCCurrencySymbols, PrefixOrSuffixByLocale) {
    NCCurrencySymbols symbols;
    int format = -1;
    symbols.setLocale("en_US");
    EXPECT_EQ(symbols.symbolForCurrencyCode(u"USD", &format), u"$");
    EXPECT_EQ(format, 0);
    symbols.setLocale("de_DE");
    EXPECT_EQ(symbols.symbolForCurrencyCode(u"EUR", &format), u"\u00A0\u20AC");
    EXPECT_EQ(format, 1);
    std::optional<std::u16string> prefix, suffix;
    symbols.getPrefix(&prefix, &suffix, std::nullopt);
    EXPECT_FALSE(prefix || suffix);
}

}  // namespace
