#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "NBFArray.h"
#include "NBFCaseInsensitiveDictionary.h"
#include "NBFDictionary.h"
#include "NBFIndexRangeMap.h"
#include "NBFQueue.h"
#include "NBFStack.h"

namespace {

void* item(intptr_t n) { return reinterpret_cast<void*>(n); }

NBF::Ref<NBF::String> str(const char* text) {
    return NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8(text));
}

TEST(NBFArray, EditsAndOutOfRangeAccess) {
    NBFArrayRef array = NBFArrayCreate();
    void* items[] = {item(1), item(2), item(3)};
    NBFArrayAddItems(array, items, 3);
    NBFArrayInsertItemAtIndex(array, 1, item(9));
    NBFArrayRemoveItemAtIndex(array, 3);
    ASSERT_EQ(NBFArrayCount(array), 3);
    EXPECT_EQ(NBFArrayGetItemAtIndex(array, 1), item(9));
    EXPECT_EQ(NBFArrayGetItemAtIndex(array, 2), item(2));
    // Outside the array: null, and nothing changes.
    EXPECT_EQ(NBFArrayGetItemAtIndex(array, 3), nullptr);
    EXPECT_EQ(NBFArrayGetItemAtIndex(array, -1), nullptr);
    NBFArrayRemoveItemAtIndex(array, 7);
    NBFArraySetItemAtIndex(array, 7, item(5));
    EXPECT_EQ(NBFArrayCount(array), 3);

    NBFArrayAddItemsFromArray(array, array);
    EXPECT_EQ(NBFArrayCount(array), 6);
    NBFArrayRemoveItemsInRange(array, {1, NBFRangeLengthMax});
    EXPECT_EQ(NBFArrayCount(array), 1);
    EXPECT_EQ(NBFArrayCount(nullptr), 0);
    NBFArrayRelease(array);
}

TEST(NBFDictionary, KeysAreComparedByValueAndRetained) {
    NBFDictionaryRef dictionary = NBFDictionaryCreate();
    {
        auto key = str("total");
        NBFDictionarySetValue(dictionary, item(1), key.get());
        EXPECT_EQ(key->retainCount(), 2);
    }
    EXPECT_EQ(NBFDictionaryGetValue(dictionary, str("total").get()), item(1));
    NBFDictionarySetValue(dictionary, item(2), str("total").get());
    EXPECT_EQ(NBFDictionaryGetCount(dictionary), 1);
    EXPECT_EQ(NBFDictionaryGetValue(dictionary, str("total").get()), item(2));
    EXPECT_EQ(NBFDictionaryGetValue(dictionary, str("Total").get()), nullptr);
    NBFDictionaryRemoveValue(dictionary, str("total").get());
    EXPECT_EQ(NBFDictionaryGetCount(dictionary), 0);
    NBFDictionaryRelease(dictionary);
}

TEST(NBFQueue, BothEndsAndContents) {
    NBFQueueRef queue = NBFQueueCreate();
    EXPECT_EQ(NBFQueueGet(queue), nullptr);
    for (intptr_t i = 1; i <= 5; ++i) NBFQueuePut(queue, item(i));
    EXPECT_EQ(NBFQueueLook(queue), item(1));
    EXPECT_EQ(NBFQueueLookTail(queue), item(5));
    EXPECT_EQ(NBFQueueGetTail(queue), item(5));
    EXPECT_EQ(NBFQueueGet(queue), item(1));

    void* buffer[8] = {};
    ASSERT_EQ(NBFQueueLookContentsTail(queue, buffer, 8), 3u);
    EXPECT_EQ(buffer[0], item(4));
    EXPECT_EQ(buffer[2], item(2));
    ASSERT_EQ(NBFQueueLookContents(queue, buffer, 2), 2u);
    EXPECT_EQ(buffer[1], item(3));
    ASSERT_EQ(NBFQueueGetContents(queue, buffer, 8), 3u);
    EXPECT_TRUE(NBFQueueIsEmpty(queue));
    EXPECT_EQ(NBFQueueGetTail(queue), nullptr);
    NBFQueueFree(queue);
}

TEST(NBFStack, SpillsIntoASecondBucketAndBack) {
    NBFStackRef stack = NBFStackCreate();
    for (intptr_t i = 1; i <= 65; ++i) NBFStackPush(stack, item(i));
    EXPECT_NE(stack->top, stack->first);
    EXPECT_EQ(NBFStackLook(stack), item(65));
    for (intptr_t i = 65; i >= 1; --i) {
        ASSERT_EQ(NBFStackLook(stack), item(i));
        ASSERT_EQ(NBFStackPop(stack), item(i));
    }
    EXPECT_TRUE(NBFStackIsEmpty(stack));
    EXPECT_EQ(NBFStackPop(stack), nullptr);
    EXPECT_EQ(NBFStackLook(stack), nullptr);
    NBFStackFree(stack);
}

TEST(NBFStack, LookAtAFullOlderBucketAfterPoppingAcrossTheBoundary) {
    NBFStackRef stack = NBFStackCreateBucketed(2);
    for (intptr_t i = 1; i <= 3; ++i) NBFStackPush(stack, item(i));
    EXPECT_EQ(NBFStackPop(stack), item(3));  // top bucket is now empty but still allocated
    EXPECT_EQ(NBFStackLook(stack), item(2));
    EXPECT_EQ(NBFStackPop(stack), item(2));
    NBFStackFree(stack);
}

class CaseInsensitiveDictionaryTest : public ::testing::Test {
  protected:
    void SetUp() override { dictionary = NBFCaseInsensitiveDictionaryCreate(); }
    void TearDown() override { NBFCaseInsensitiveDictionaryRelease(dictionary); }
    void set(const char* key, void* value, bool caseSensitive = false) {
        NBFCaseInsensitiveDictionarySetItemForKey(dictionary, value, str(key).get(), caseSensitive);
    }
    void* get(const char* key) {
        return NBFCaseInsensitiveDictionaryGetItemForKey(dictionary, str(key).get());
    }
    NBFCaseInsensitiveDictionaryRef dictionary = nullptr;
};

TEST_F(CaseInsensitiveDictionaryTest, SoleKeyIsFoundInAnyCase) {
    set("Total", item(1));
    EXPECT_EQ(get("TOTAL"), item(1));
    EXPECT_EQ(get("total"), item(1));
    bool exact = true;
    auto key = str("total");
    EXPECT_EQ(NBFCaseInsensitiveDictionaryFindItemForKeyAndLowercaseKey(dictionary, key.get(),
                                                                        key.get(), &exact),
              item(1));
    EXPECT_FALSE(exact);
}

TEST_F(CaseInsensitiveDictionaryTest, SecondKeyOfTheSameLowercaseFormSplitsThem) {
    set("Total", item(1));
    set("total", item(2));
    EXPECT_EQ(get("Total"), item(1));
    EXPECT_EQ(get("total"), item(2));
    EXPECT_EQ(get("TOTAL"), nullptr);
    EXPECT_EQ(NBFCaseInsensitiveDictionaryCount(dictionary), 2);

    set("total", nullptr);  // removal gives Total back its case-insensitivity
    EXPECT_EQ(get("TOTAL"), item(1));
    EXPECT_EQ(NBFCaseInsensitiveDictionaryCount(dictionary), 1);
}

TEST_F(CaseInsensitiveDictionaryTest, RemovalNeedsTheStoredLetterCase) {
    set("Total", item(1));
    set("TOTAL", nullptr);
    EXPECT_EQ(get("total"), item(1));
    set("Total", nullptr);
    EXPECT_EQ(get("total"), nullptr);
    EXPECT_EQ(NBFCaseInsensitiveDictionaryCount(dictionary), 0);
}

TEST_F(CaseInsensitiveDictionaryTest, ReplacementReportsTheOldItem) {
    set("km", item(1));
    void* replaced = nullptr;
    NBFCaseInsensitiveDictionarySetItemForKeyObserveReplacement(dictionary, item(2),
                                                                str("km").get(), false, &replaced);
    EXPECT_EQ(replaced, item(1));
    EXPECT_EQ(get("KM"), item(2));
}

TEST_F(CaseInsensitiveDictionaryTest, CaseSensitiveKeysNeedTheirExactCase) {
    set("Pa", item(1), true);
    EXPECT_EQ(get("Pa"), item(1));
    EXPECT_EQ(get("pa"), nullptr);
    // Dropping the flag makes the sole key case-insensitive again.
    set("Pa", item(1), false);
    EXPECT_EQ(get("PA"), item(1));
}

TEST_F(CaseInsensitiveDictionaryTest, ClearingTheFlagKeepsASharedKeyExact) {
    set("Mb", item(1), true);
    set("mb", item(2));
    set("Mb", item(1), false);  // two nodes share "mb": neither may sit in the lowercase map
    EXPECT_EQ(get("Mb"), item(1));
    EXPECT_EQ(get("mb"), item(2));
    EXPECT_EQ(get("MB"), nullptr);
    NBFArrayRef all = NBFCaseInsensitiveDictionaryGetAllItems(dictionary);
    EXPECT_EQ(NBFArrayCount(all), 2);
    NBFArrayRelease(all);
}

std::vector<void*> deallocated;
void recordDeallocation(void* value) { deallocated.push_back(value); }

TEST(NBFIndexRangeMap, SetsValuesOverRanges) {
    NBFIndexRangeMapRef map = NBFIndexRangeMapCreate();
    NBFIndexRangeMapSetValueForRange(map, item(0xA), {5, 3});
    EXPECT_EQ(NBFIndexRangeMapGetValueForIndex(map, 4), nullptr);
    EXPECT_EQ(NBFIndexRangeMapGetValueForIndex(map, 5), item(0xA));
    EXPECT_EQ(NBFIndexRangeMapGetValueForIndex(map, 7), item(0xA));
    EXPECT_EQ(NBFIndexRangeMapGetValueForIndex(map, 8), nullptr);

    NBFIndexRangeMapSetValueForRange(map, item(0xB), {6, NBFRangeLengthMax});
    EXPECT_EQ(NBFIndexRangeMapGetValueForIndex(map, 5), item(0xA));
    EXPECT_EQ(NBFIndexRangeMapGetValueForIndex(map, 1000000), item(0xB));

    NBFRange ranges[4];
    ASSERT_EQ(NBFIndexRangeMapFindRangesForValue(map, item(0xA), ranges, 4), 1);
    EXPECT_EQ(ranges[0].location, 5);
    EXPECT_EQ(ranges[0].length, 1);
    ASSERT_EQ(NBFIndexRangeMapFindRangesForValue(map, item(0xB), ranges, 4), 1);
    EXPECT_EQ(ranges[0].length, NBFRangeLengthMax);
    EXPECT_EQ(NBFIndexRangeMapGetCountOfUniqueValues(map), 2);
    NBFIndexRangeMapRelease(map);
}

TEST(NBFIndexRangeMap, InnerRangeRestoresTheValueAroundIt) {
    NBFIndexRangeMapRef map = NBFIndexRangeMapCreate();
    NBFIndexRangeMapSetValueForRange(map, item(0xA), {0, NBFRangeLengthMax});
    NBFIndexRangeMapSetValueForRange(map, item(0xB), {10, 5});
    EXPECT_EQ(NBFIndexRangeMapGetValueForIndex(map, 9), item(0xA));
    EXPECT_EQ(NBFIndexRangeMapGetValueForIndex(map, 12), item(0xB));
    EXPECT_EQ(NBFIndexRangeMapGetValueForIndex(map, 15), item(0xA));
    NBFRange ranges[4];
    EXPECT_EQ(NBFIndexRangeMapFindRangesForValue(map, item(0xA), ranges, 4), 2);
    NBFIndexRangeMapRelease(map);
}

TEST(NBFIndexRangeMap, LastInstanceGoesToTheDeallocator) {
    deallocated.clear();
    NBFIndexRangeMapRef map = NBFIndexRangeMapCreate();
    NBFIndexRangeMapSetDeallocator(map, recordDeallocation);
    NBFIndexRangeMapSetValueForRange(map, item(0xA), {2, 4});
    NBFIndexRangeMapSetValueForRange(map, item(0xB), {0, NBFRangeLengthMax});
    EXPECT_EQ(deallocated, std::vector<void*>{item(0xA)});
    EXPECT_EQ(NBFIndexRangeMapGetCountOfUniqueValues(map), 1);

    NBFIndexRangeMapAddValueInstance(map, item(0xB));  // held elsewhere too
    NBFIndexRangeMapClear(map);
    EXPECT_EQ(deallocated.size(), 1u);
    NBFIndexRangeMapRemoveValueInstance(map, item(0xB));
    EXPECT_EQ(deallocated.back(), item(0xB));
    EXPECT_EQ(NBFIndexRangeMapGetValueForIndex(map, 3), nullptr);

    NBFIndexRangeMapSetValueForRange(map, item(0xC), {1, 1});
    NBFIndexRangeMapRelease(map);
    EXPECT_EQ(deallocated.back(), item(0xC));
}

TEST(NBFIndexRangeMap, WholeSpaceLeavesOneBoundary) {
    NBFIndexRangeMapRef map = NBFIndexRangeMapCreate();
    NBFIndexRangeMapSetValueForRange(map, item(0xA), {3, 4});
    NBFIndexRangeMapSetValueForRange(map, item(0xB), {0, NBFRangeLengthMax});
    NBFRange ranges[4];
    ASSERT_EQ(NBFIndexRangeMapFindRangesForValue(map, item(0xB), ranges, 4), 1);
    EXPECT_EQ(ranges[0].location, 0);
    EXPECT_EQ(ranges[0].length, NBFRangeLengthMax);
    testing::internal::CaptureStdout();
    NBFIndexRangeMapPrint(map);
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("0+ => "), std::string::npos) << printed;
    NBFIndexRangeMapRelease(map);
}

}  // namespace
