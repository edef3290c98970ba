// The thumbnail's page holds only what can show at its top, and draws exactly as the whole
// preview page does.
#include <gtest/gtest.h>
#include <unicode/utf16.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "NCExpression.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NKTextHelpers.h"
#include "PreviewDocument.h"
#include "PreviewEnvironment.h"
#include "ThumbnailRenderer.h"

using namespace NumberaPreview;

namespace {

const ThumbnailPageBounds kWholePage{std::nullopt, std::nullopt};

// Drawing needs an application; one for the whole test program, with no display.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "PreviewProgramsTests";
    static char* argv[] = {name, nullptr};
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication application(argc, argv);
}

std::shared_ptr<NCLineCollection> documentOf(const std::vector<std::u16string>& lines) {
    auto collection = std::make_shared<NCLineCollection>();
    for (const auto& line : lines) collection->addLine(NCLine::lineWithExpressionString(line));
    collection->evaluateLines();
    return collection;
}

std::u16string pageOf(const std::shared_ptr<NCLineCollection>& collection,
                      const ThumbnailPageBounds& bounds = {}) {
    return thumbnailHTMLForLineCollection(collection, previewColorManager(), bounds);
}

QImage thumbnailOf(const std::shared_ptr<NCLineCollection>& collection, int size,
                   const ThumbnailPageBounds& bounds = {}) {
    ensureApplication();
    return renderThumbnail(NKUTF8(pageOf(collection, bounds)), size, size);
}

size_t occurrences(const std::u16string& text, const std::u16string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::u16string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The text each row's expression shows: its cell with the markup taken off and the character
// references read back. Markup is the exporter's: the text itself holds no "<".
std::vector<std::u16string> shownExpressions(const std::u16string& page) {
    std::vector<std::u16string> texts;
    const std::u16string open = u"<td class=\"expression\"><pre>", close = u"</pre></td>";
    for (size_t at = page.find(open); at != std::u16string::npos; at = page.find(open, at)) {
        at += open.size();
        const std::u16string cell = page.substr(at, page.find(close, at) - at);
        std::u16string text;
        for (size_t i = 0; i < cell.size();) {
            if (cell[i] == u'<') {
                i = cell.find(u'>', i) + 1;
                continue;
            }
            if (cell[i] == u'&') {
                const size_t end = cell.find(u';', i);
                const std::u16string name = cell.substr(i, end + 1 - i);
                text += name == u"&lt;"     ? u"<"
                        : name == u"&gt;"   ? u">"
                        : name == u"&amp;"  ? u"&"
                        : name == u"&quot;" ? u"\""
                                            : u"\uFFFD";  // never written: fails the test
                i = end + 1;
                continue;
            }
            text += cell[i++];
        }
        texts.push_back(text);
    }
    return texts;
}

std::vector<std::u16string> repeated(const std::u16string& line, size_t count) {
    return std::vector<std::u16string>(count, line);
}

std::u16string times(const std::u16string& text, size_t count) {
    std::u16string result;
    for (size_t i = 0; i < count; ++i) result += text;
    return result;
}

// Ordinary lines, and lines long enough to wrap over the whole page.
std::vector<std::pair<std::string, std::shared_ptr<NCLineCollection>>> drawnDocuments() {
    std::vector<std::u16string> ordinary;
    for (int i = 0; i < 150; ++i) {
        const std::u16string n = NKUTF16(std::to_string(i));
        ordinary.push_back(i % 7 == 3 ? u"# Heading " + n : n + u" km in m + 3");
        if (i % 11 == 5) ordinary.push_back(u"");
        if (i % 13 == 8)
            ordinary.push_back(NCExpression::relativeLineReferenceTokenWithOffset(-1) + u" * 2");
    }
    std::vector<std::u16string> wrapped = {u"2 + 3", times(u"fish and chips ", 2100), u"10 * 4"};
    std::vector<std::u16string> narrow = {times(u"i", 100), times(u"i", 32000), u"6 * 7"};
    return {{"sample", NCLineCollection::lineCollectionWithDefaultContent()},
            {"ordinary", documentOf(ordinary)},
            {"wrapped words", documentOf(wrapped)},
            {"narrow letters", documentOf(narrow)}};
}

TEST(ThumbnailPage, DrawsAsTheWholePage) {
    for (const auto& [name, document] : drawnDocuments()) {
        for (int size : {128, 512}) {
            SCOPED_TRACE(name + " at " + std::to_string(size));
            const QImage top = thumbnailOf(document, size);
            const QImage whole = thumbnailOf(document, size, kWholePage);
            ASSERT_FALSE(top.isNull());
            EXPECT_TRUE(top == whole) << "the thumbnail differs from the whole page's";
        }
    }
}

TEST(ThumbnailPage, HoldsOnlyTheRowsThatCanShow) {
    const auto empty = documentOf(repeated(u"", 1000));
    const std::u16string page = pageOf(empty);
    EXPECT_EQ(occurrences(page, u"<tr class=\"line"), kThumbnailRowsShown + 1u)
        << "the rows shown and the closing row";
    const std::u16string last = u">" + NKUTF16(std::to_string(kThumbnailRowsShown)) + u"</td>";
    EXPECT_NE(page.find(last), std::u16string::npos);
    EXPECT_EQ(page.find(u">" + NKUTF16(std::to_string(kThumbnailRowsShown + 1)) + u"</td>"),
              std::u16string::npos);
    // A short document is whole.
    const auto sums = documentOf({u"2 + 3", u"10 * 4", u"7 / 2"});
    EXPECT_EQ(pageOf(sums), pageOf(sums, kWholePage));
}

// Long expressions are cut in their text, before it is escaped: the page shows the first
// characters of the expressions, all of them together no more than the page can hold, and
// never half a character or half a character reference. A small bound keeps the lines short.
TEST(ThumbnailPage, CutsLongExpressionsInWholeCharacters) {
    const size_t shown = 300;
    const ThumbnailPageBounds bounds{kThumbnailRowsShown, shown};
    const std::u16string smiles = u"a" + times(u"\U0001F600", shown);  // pairs from index 1
    const std::u16string markup = times(u"<&>\"", shown);
    const std::u16string first = times(u"x", shown * 2 / 3), second = times(u"y", shown);
    struct Row {
        std::string label;
        std::vector<std::u16string> lines;
        std::vector<std::u16string> expected;
    };
    const Row rows[] = {
        {"pairs", {smiles, u"1"}, {smiles.substr(0, shown - 1), u"1"}},
        {"references", {markup}, {markup.substr(0, shown)}},
        {"shared", {first, second, u"2 + 3"}, {first, second.substr(0, shown / 3), u""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        const std::u16string page = pageOf(documentOf(row.lines), bounds);
        EXPECT_EQ(shownExpressions(page), row.expected);
        for (size_t i = 0; i < page.size(); ++i) {
            if (U16_IS_LEAD(page[i])) {
                ASSERT_TRUE(i + 1 < page.size() && U16_IS_TRAIL(page[i + 1])) << i;
                ++i;
            } else {
                ASSERT_FALSE(U16_IS_TRAIL(page[i])) << "half a character at " << i;
            }
        }
        // The answers of the rows shown are still there.
        if (row.label == "pairs") {
            EXPECT_NE(page.find(u">1</td>"), std::u16string::npos);
        }
    }
}

}  // namespace
