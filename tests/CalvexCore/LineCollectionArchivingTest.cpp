// Whole-document operations: the sample document, emptiness, the content hash, result
// comparison, previews and joins, selection by index, and archiving through the file.
#include <gtest/gtest.h>

#include "DocumentFileTestSupport.h"
#include "NCEvaluator.h"
#include "NCFile.h"
#include "NCLineCollection.h"
#include "NCVariableList.h"
#include "NCWordOperatorList.h"
#include "UnitsFileTestSupport.h"

namespace {

class LineCollectionArchivingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        initFoundationConstants();
        static auto units = realUnitManager(NCUnitsPreferences::defaultPreferences());
        environment = realEnvironment(units);
    }

    std::shared_ptr<NCLineCollection> collectionOf(const std::vector<std::u16string>& texts) {
        auto lines = std::make_shared<NCLineCollection>();
        lines->setEnvironment(environment);
        for (const std::u16string& text : texts)
            lines->addLine(NCLine::lineWithExpressionString(text));
        return lines;
    }

    std::shared_ptr<NCEnvironment> environment;
};

TEST_F(LineCollectionArchivingTest, DefaultContentIsTheSampleDocumentAndEvaluates) {
    // Blocks of "n + n" for n = 1...5; the short block starts at 2.
    std::vector<std::u16string> expected;
    for (int first : {1, 1, 1, 1, 2, 1, 1, 1, 2, 1, 1, 1})
        for (int n = first; n <= 5; ++n) {
            std::u16string digit(1, static_cast<char16_t>(u'0' + n));
            expected.push_back(digit + u" + " + digit);
        }
    auto lines = NCLineCollection::lineCollectionWithDefaultContent();
    lines->setEnvironment(environment);
    ASSERT_EQ(lines->countOfLines(), 58u);
    ASSERT_EQ(expected.size(), 58u);
    EXPECT_EQ(lines->lineAtIndex(0)->expressionString(), u"1 + 1");
    EXPECT_EQ(lines->lineAtIndex(20)->expressionString(), u"2 + 2");
    EXPECT_EQ(lines->lineAtIndex(39)->expressionString(), u"2 + 2");
    const char* const kSums[] = {"", "2", "4", "6", "8", "10"};
    for (size_t i = 0; i < expected.size(); ++i) {
        auto line = lines->lineAtIndex(i);
        EXPECT_EQ(line->expressionString(), expected[i]) << i;
        EXPECT_EQ(utf8(line->formattedResult()), kSums[expected[i][0] - u'0']) << i;
        EXPECT_TRUE(line->hasResult());
    }
    EXPECT_EQ(lines->results().size(), 58u);
    EXPECT_FALSE(lines->isEmpty());
}

TEST_F(LineCollectionArchivingTest, Emptiness) {
    struct Row {
        std::vector<std::u16string> texts;
        bool empty;
    } rows[] = {
        {{}, true},
        {{u"", u"", u""}, true},
        {{u"", u" "}, false},
        {{u"note"}, false},
    };
    for (const Row& row : rows) EXPECT_EQ(collectionOf(row.texts)->isEmpty(), row.empty);
    auto lines = collectionOf({});
    lines->addLine(NCLine::lineWithExpressionString(std::nullopt));
    EXPECT_TRUE(lines->isEmpty());
}

TEST_F(LineCollectionArchivingTest, ContentHashFollowsTextsAnswersAndOrder) {
    struct Row {
        const char* name;
        std::vector<std::u16string> a;
        std::vector<std::u16string> b;
        bool same;
    } rows[] = {
        {"same lines", {u"1 + 1", u"x = 3", u"note"}, {u"1 + 1", u"x = 3", u"note"}, true},
        {"reordered", {u"1 + 1", u"2 + 2"}, {u"2 + 2", u"1 + 1"}, false},
        {"two identical lines against none", {u"7", u"7"}, {}, false},
        {"a line repeated", {u"4 * 2"}, {u"4 * 2", u"4 * 2", u"4 * 2"}, false},
        {"one text changed", {u"1 + 1", u"2 + 2"}, {u"1 + 1", u"2 + 3"}, false},
        {"an empty line added", {u"1 + 1"}, {u"1 + 1", u""}, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(collectionOf(row.a)->hash() == collectionOf(row.b)->hash(), row.same) << row.name;
    EXPECT_EQ(collectionOf({})->hash(), 0u);

    // Only the answer text changes.
    auto lines = collectionOf({u"1 + 1", u"2 + 2"});
    size_t before = lines->hash();
    lines->lineAtIndex(1)->setResult(NCResult::resultWithRawResultString(u"5"));
    EXPECT_NE(lines->hash(), before);
}

TEST_F(LineCollectionArchivingTest, ResultsAndTheirComparison) {
    auto lines = collectionOf({u"1 + 1", u"words only", u"3 * 3"});
    for (uint64_t i = 0; i < lines->countOfLines(); ++i) lines->lineAtIndex(i)->result();
    std::vector<std::shared_ptr<NCResult>> results = lines->results();
    ASSERT_EQ(results.size(), 3u);
    EXPECT_FALSE(lines->resultsDifferFromResults(results));
    auto same = collectionOf({u"2", u"words only", u"9"});
    for (uint64_t i = 0; i < same.get()->countOfLines(); ++i) same->lineAtIndex(i)->result();
    EXPECT_FALSE(lines->resultsDifferFromResults(same->results()));
    std::vector<std::shared_ptr<NCResult>> changed = results;
    changed[2] = NCResult::resultWithRawResultString(u"10");
    EXPECT_TRUE(lines->resultsDifferFromResults(changed));
    changed.pop_back();
    EXPECT_TRUE(lines->resultsDifferFromResults(changed));
}

TEST_F(LineCollectionArchivingTest, PreviewsAndJoins) {
    auto lines = collectionOf({u"a", u"", u"b"});
    EXPECT_EQ(lines->fullPreview(), u"a, b");
    EXPECT_EQ(lines->stringOfAllExpressionsSeperatedByDivider(u"|"), u"a||b");
    EXPECT_EQ(lines->arrayOfExpressions(),
              (std::vector<std::optional<std::u16string>>{u"a", u"", u"b"}));

    // Three texts of 49 characters: 49 + 2 + 49 + 2 + 49 = 151, cut to 100.
    std::u16string text(49, u'x');
    auto longLines = collectionOf({text, text, text});
    EXPECT_EQ(longLines->fullPreview().size(), 100u);
    EXPECT_EQ(longLines->fullPreview(), (text + u", " + text).substr(0, 100));

    auto sums = collectionOf({u"1 + 1", u"", u"3 * 4"});
    EXPECT_EQ(sums->jumpedAnswerStyleStringWithDivider(u"="), u"1 + 1 = 2\n\n3 * 4 = 12");
    EXPECT_EQ(sums->expressionAndResultOnLineIndex(2, u":"), u"3 * 4:12");
    std::u16string description = sums->description();
    EXPECT_NE(description.find(u" \n1 + 1 = 2\n\n3 * 4 = 12"), std::u16string::npos);
}

TEST_F(LineCollectionArchivingTest, LinesByIndex) {
    auto lines = collectionOf({u"0", u"1", u"2", u"3", u"4"});
    NSIndexSet indexes;
    indexes.addIndex(7);
    indexes.addIndex(3);
    indexes.addIndex(0);
    std::vector<std::shared_ptr<NCLine>> chosen = lines->linesWithIndexes(indexes);
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0]->expressionString(), u"0");
    EXPECT_EQ(chosen[1]->expressionString(), u"3");
    struct Row {
        int64_t index;
        bool valid;
    } rows[] = {{-1, false}, {0, true}, {4, true}, {5, false}};
    for (const Row& row : rows) EXPECT_EQ(lines->lineIndexIsValid(row.index), row.valid);
}

TEST_F(LineCollectionArchivingTest, ArchivedDocumentsComeBackWithTheirInfo) {
    ScratchFolder folder;
    std::string path = folder.file("archive.numbera");
    auto lines = collectionOf({u"note", u"4 * 3", u"2 km + 500 m"});
    std::map<std::string, NSArchiveValue> info = {
        {"title", std::u16string(u"Groceries")},
        {"count", int64_t{3}},
        {"ratio", 0.25},
    };
    std::string error;
    ASSERT_TRUE(lines->archiveToPath(path, info, &error)) << error;

    auto read = NCLineCollection::lineCollectionFromPath(path);
    ASSERT_NE(read, nullptr);
    // Read in the default environment; read again in the one with the unit catalogue.
    read->setEnvironment(environment);
    read->unparseAllLines();
    read->parseAllLines();
    read->evaluateLines();
    EXPECT_EQ(read->arrayOfExpressions(), lines->arrayOfExpressions());
    EXPECT_EQ(utf8(read->lineAtIndex(1)->formattedResult()), "12");
    EXPECT_NE(lines->lineAtIndex(2)->formattedResult(), std::nullopt);
    EXPECT_EQ(read->lineAtIndex(2)->formattedResult(), lines->lineAtIndex(2)->formattedResult());
    EXPECT_EQ(read->hash(), lines->hash());

    auto file = NCFile::initWithContentsOfFileAtPath(path);
    EXPECT_EQ(file->stringForKey("title"), u"Groceries");
    EXPECT_EQ(file->stringForKey("count"), u"3");
    EXPECT_EQ(file->numberForKey("ratio"), 0.25);
    EXPECT_EQ(NCLineCollection::lineCollectionFromPath(folder.file("none.numbera")), nullptr);
}

}  // namespace
