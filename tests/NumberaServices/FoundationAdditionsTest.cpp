// Array, date, locale, random-number, error and main-queue conveniences.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "Clock.h"
#include "Diagnostics.h"
#include "NKLocalization.h"
#include "NSArray+Additions.h"
#include "NSDate+Additions.h"
#include "NSError+SimpleAdditions.h"
#include "NSNumber+Random.h"
#include "NSObject+Additions.h"
#include "NSString+FormattingAdditions.h"
#include "NSUserDefaults+SimpleLocale.h"

TEST(ArrayAdditions, Searches) {
    using namespace NSArrayAdditions;
    std::vector<int> array{4, 8, 15};
    EXPECT_EQ(indexOfObjectEqualTo(array, 8), 1u);
    EXPECT_EQ(indexOfObjectEqualTo(array, 9), NSNotFound);
    EXPECT_EQ(arrayWithObjectsAfterObject(array, 15), std::vector<int>{});
    EXPECT_FALSE(arrayWithObjectsAfterObject(array, 16).has_value());
    EXPECT_EQ(arrayWithObjectsAfterObject(array, 4), (std::vector<int>{8, 15}));
    EXPECT_EQ(arrayWithoutObjects(array, {8}), (std::vector<int>{4, 15}));
    EXPECT_FALSE(firstObject(std::vector<int>{}).has_value());
    EXPECT_TRUE(containsString({u"a", u"b"}, u"b"));
    EXPECT_FALSE(containsKey({u"a", u"b"}, u"c"));
    EXPECT_TRUE(containsNumber({3, 5}, 5));
    EXPECT_EQ(objectPassingTest(array, [](int x) { return x > 5; }), 8);
}

namespace {
struct Tagged {
    int64_t value;
    int64_t tag() const { return value * 10; }
    std::map<std::string, int64_t> dictionaryRepresentation() const { return {{"v", value}}; }
};
}  // namespace

TEST(ArrayAdditions, TagsAndDictionaryRepresentations) {
    using namespace NSArrayAdditions;
    std::vector<std::shared_ptr<Tagged>> array{std::make_shared<Tagged>(Tagged{1}), nullptr,
                                               std::make_shared<Tagged>(Tagged{2})};
    EXPECT_EQ(indexOfObjectWithTag(array, 20), 2u);
    EXPECT_EQ(indexOfObjectWithTag(array, 30), NSNotFound);
    EXPECT_EQ(objectWithTag(array, 10), array[0]);
    EXPECT_EQ(objectWithTag(array, 30), nullptr);
    auto representations = arrayWithObjectsInDictionaryRep(array);
    ASSERT_EQ(representations.size(), 2u);
    EXPECT_EQ(representations[1].at("v"), 2);
}

TEST(SimpleLocale, SettingsOverrideTheLocale) {
    NCSimpleLocale german = simpleLocale(std::nullopt, std::nullopt, "de_DE");
    EXPECT_EQ(german.decimalPointChar, u',');
    EXPECT_EQ(german.groupingChar, u'.');
    NCSimpleLocale chosen = simpleLocale(u",", std::nullopt, "de_DE");
    EXPECT_EQ(chosen.decimalPointChar, u',');
    EXPECT_EQ(chosen.groupingChar, u'.');
    NCSimpleLocale english = simpleLocale(std::nullopt, u"'x", "en_US");
    EXPECT_EQ(english.decimalPointChar, u'.');
    EXPECT_EQ(english.groupingChar, u'\'');
    NCSimpleLocale empty = simpleLocale(u"", u"", "de_DE");
    EXPECT_EQ(empty.decimalPointChar, u'.');
    EXPECT_EQ(empty.groupingChar, u',');
}

TEST(FormattingAdditions, RawResultsInALocale) {
    using namespace NSStringFormattingAdditions;
    EXPECT_EQ(localizedResultString(u"1234.5", {u',', u'.'}), u"1234,5");
    EXPECT_EQ(localizedCurrencyResultStringWithLocale(u"1234.5", {u'.', u','}), u"1234.50");
    EXPECT_FALSE(stringByAppendingProjectPrefix(u"x").has_value());
}

TEST(RandomInteger, BothEndsIncludedAndBadBoundsGiveZero) {
    std::vector<std::string> logged;
    {
        Diagnostics::ScopedSink sink(
            [&](Diagnostics::Stream, const std::string& line) { logged.push_back(line); });
        EXPECT_EQ(randomIntegerBetween(5, 5), 0);
    }
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0], "Warning: low 5 isn't lower than high 5");
    std::set<int64_t> seen;
    for (int i = 0; i < 200; ++i) {
        int64_t value = randomIntegerBetween(1, 2);
        ASSERT_TRUE(value == 1 || value == 2);
        seen.insert(value);
    }
    EXPECT_EQ(seen.size(), 2u);
    int64_t wide = randomIntegerBetween(INT64_MIN, INT64_MAX);
    (void)wide;  // any value; the full span must not overflow
}

TEST(DateAdditions, CalendarQuestions) {
    using namespace NSDateAdditions;
    using std::chrono::hours;
    Date noon = std::chrono::floor<std::chrono::days>(now()) + hours(12);
    EXPECT_EQ(daysSinceDate(noon + hours(24 * 3), noon), 3);
    EXPECT_EQ(daysSinceDate(noon, noon + hours(24 * 2)), -2);
    EXPECT_TRUE(isEarlierThan(noon, noon + hours(1)));
    EXPECT_FALSE(isLaterThan(noon, noon + hours(1)));
    EXPECT_TRUE(sharesCalanderDateWithDate(noon, noon));
    EXPECT_FALSE(sharesCalanderDateWithDate(noon, noon + hours(48)));
    EXPECT_EQ(aDay(), 86400);
    EXPECT_EQ(aWeek(), 7 * aDay());
}

TEST(Localization, LanguageCode) {
    EXPECT_EQ(NKLocalization::currentLanguageCode({}), u"en");
    EXPECT_EQ(NKLocalization::currentLanguageCode({u"de", u"fr"}), u"de");
    EXPECT_TRUE(NKLocalizationIsEnglish(std::nullopt));
    EXPECT_TRUE(NKLocalizationIsEnglish(u"en"));
    EXPECT_FALSE(NKLocalizationIsEnglish(u"de"));
}

TEST(SimpleLocale, FromSettings) {
    InMemorySettings settings;
    settings.setObject("NBDecimalPointSign", std::u16string(u","));
    NCSimpleLocale locale = simpleLocale(settings, "de_DE");
    EXPECT_EQ(locale.decimalPointChar, u',');
    EXPECT_EQ(locale.groupingChar, u'.');
    settings.setObject("NBThousandsSeperatorSign", std::u16string(u" "));
    EXPECT_EQ(simpleLocale(settings, "de_DE").groupingChar, u' ');
}

TEST(SimpleLocale, SignsNumbersCannotBeWrittenWithFallBackToTheDefault) {
    const NCSimpleLocale fallback{u'.', u','};
    EXPECT_EQ(simpleLocale(u"1", u",", "de_DE"), fallback);
    EXPECT_EQ(simpleLocale(u"a", u" ", "de_DE"), fallback);
    EXPECT_EQ(simpleLocale(u",", u"5", "de_DE"), fallback);
    EXPECT_EQ(simpleLocale(u",", u",", "de_DE"), fallback);
    EXPECT_EQ(simpleLocale(u",", u"'", "de_DE"), (NCSimpleLocale{u',', u'\''}));
}

TEST(ErrorAdditions, SimpleError) {
    NSError error = simpleErrorWithString(u"No rates");
    EXPECT_EQ(error.domain, "NSCocoaErrorDomain");
    EXPECT_EQ(error.code, 2048);
    EXPECT_EQ(error.localizedDescription, u"No rates");
}

TEST(ObjectAdditions, WorkRunsOnTheMainQueueInTime) {
    auto clock = std::make_shared<ManualClock>();
    auto queue = std::make_shared<ManualMainQueue>(clock);
    MainQueue::setShared(queue);
    std::vector<std::string> ran;
    int property = 0;
    NSObjectAdditions::performBlockAfterDelay([&] { ran.push_back("late"); }, 2.0);
    NSObjectAdditions::performBlockOnMainThread([&] { ran.push_back("now"); });
    NSObjectAdditions::setPropertyToValueAfterDelay<int>([&](const int& v) { property = v; }, 42,
                                                         1.0);
    EXPECT_TRUE(ran.empty());
    queue->runPending();
    EXPECT_EQ(ran, std::vector<std::string>{"now"});
    queue->advance(*clock, 1.0);
    EXPECT_EQ(property, 42);
    EXPECT_EQ(ran.size(), 1u);
    queue->advance(*clock, 1.0);
    EXPECT_EQ(ran, (std::vector<std::string>{"now", "late"}));
    MainQueue::setShared(nullptr);
}
