// The calculation text's line rectangles measured from the text edit's layout and kept until
// the line cache lets them go, character-range rectangles, and the decimal-places field's
// number formatter.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <memory>

#include "AppTestFixture.h"
#include "NBAppResources.h"
#include "NBPrecisionNumberFormatter.h"
#include "NBTextViewGeometry.h"
#include "NKTextViewLineMetrics.h"
#include "NKTextViewMetricsTextView.h"

namespace {

struct GeometryRig {
    explicit GeometryRig(const QString& text, int width = 300) {
        edit.resize(width, 200);
        edit.setPlainText(text);
        QFont font = edit.document()->defaultFont();
        font.setPointSize(14);
        edit.document()->setDefaultFont(font);
        edit.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&edit));
        // The mirror's lines end with "\n" where the document has paragraph separators.
        mirror.setString(NBAppResources::toU16(
            edit.document()->toRawText().replace(QChar::ParagraphSeparator, u'\n')));
        lineMetrics->resetAllCaches();
    }
    QRectF blockRect(int index) const {
        const QTextBlock block = edit.document()->findBlockByNumber(index);
        return edit.document()->documentLayout()->blockBoundingRect(block);
    }

    QTextEdit edit;
    NKPlainTextSource mirror;
    std::shared_ptr<NKTextViewLineMetrics> lineMetrics =
        std::make_shared<NKTextViewLineMetrics>(&mirror);
    NBTextViewGeometry geometry{&edit, lineMetrics, lineMetrics, 10.0};
};

const QString kLines =
    "2+3\n"
    "a line long enough to wrap over several lines at this narrow width of the text\n"
    "\n"
    "last";

}  // namespace

TEST(AnswerColumnTextGeometry, LineRectanglesAreTheBlocksAsLaidOut) {
    GeometryRig rig(kLines, 240);
    ASSERT_EQ(rig.lineMetrics->countOfLines(), 4u);
    ASSERT_GT(rig.edit.document()->findBlockByNumber(1).layout()->lineCount(), 1);
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        const NSRect rect = rig.geometry.boundingRectOfLineAtIndex(index);
        const QRectF block = rig.blockRect(index);
        const bool last = index == 3;
        EXPECT_NEAR(rect.origin.y, block.y(), 0.01);
        // The last line, without a line break under it, reaches one point lower.
        EXPECT_NEAR(rect.size.height, block.height() + (last ? 1.0 : 0.0), 0.01);
        EXPECT_NEAR(rig.geometry.heightOfLineAtIndex(index), rect.size.height + 10.0, 0.01);
        EXPECT_GE(rect.origin.x, block.x());
        EXPECT_LE(rect.origin.x + rect.size.width, block.right() + 0.01);
        EXPECT_EQ(rig.lineMetrics->cachedLineAtIndex(index)->oldRect, NSZeroRect);
    }
    // The empty line has the height of a line and no width.
    EXPECT_EQ(rig.geometry.boundingRectOfLineAtIndex(2).size.width, 0.0);
    EXPECT_GT(rig.geometry.boundingRectOfLineAtIndex(2).size.height, 5.0);
    // The wrapped line spans the text's width.
    EXPECT_GT(rig.geometry.boundingRectOfLineAtIndex(1).size.width,
              rig.geometry.boundingRectOfLineAtIndex(0).size.width * 4);
    EXPECT_EQ(rig.geometry.boundingRectOfLineAtIndex(4), NSZeroRect);
}

TEST(AnswerColumnTextGeometry, AMeasuredLineKeepsItsRectangleUntilTheCacheLetsItGo) {
    GeometryRig rig(kLines);
    const NSRect measured = rig.geometry.boundingRectOfLineAtIndex(0);
    QFont bigger = rig.edit.document()->defaultFont();
    bigger.setPointSize(30);
    rig.edit.document()->setDefaultFont(bigger);
    EXPECT_GT(rig.blockRect(0).height(), measured.size.height + 5);
    EXPECT_EQ(rig.geometry.boundingRectOfLineAtIndex(0), measured);

    std::shared_ptr<NKCachedLine> line = rig.lineMetrics->cachedLineAtIndex(0);
    line->invalidateGeometry();
    const NSRect remeasured = rig.geometry.boundingRectOfLineAtIndex(0);
    EXPECT_NEAR(remeasured.size.height, rig.blockRect(0).height(), 0.01);
    EXPECT_EQ(line->oldRect, NSZeroRect);
}

TEST(AnswerColumnTextGeometry, CharacterRangesGiveTheirGlyphsBoundingRectangles) {
    GeometryRig rig("12345\nabc\n\nxyz");
    const NSRect line = rig.geometry.rectForCharacterRange({0, 5});
    const NSRect part = rig.geometry.rectForCharacterRange({1, 2});
    EXPECT_GT(part.origin.x, line.origin.x);
    EXPECT_LT(part.size.width, line.size.width);
    EXPECT_EQ(part.origin.y, line.origin.y);
    EXPECT_EQ(part.size.height, line.size.height);

    // A range through a line break covers both lines; one that ends at a line's start does
    // not reach into it.
    const NSRect two = rig.geometry.rectForCharacterRange({2, 6});
    EXPECT_NEAR(two.origin.y, rig.blockRect(0).y(), 0.01);
    EXPECT_NEAR(two.origin.y + two.size.height, rig.blockRect(1).bottom(), 0.01);
    EXPECT_EQ(rig.geometry.rectForCharacterRange({0, 6}).size.height, line.size.height);

    // An empty range is the caret: the line's height, no width.
    const NSRect caret = rig.geometry.rectForCharacterRange({7, 0});
    EXPECT_EQ(caret.size.width, 0.0);
    EXPECT_NEAR(caret.origin.y, rig.blockRect(1).y(), 0.01);
    EXPECT_EQ(rig.geometry.rectForCharacterRange({99, 1}), NSZeroRect);
    EXPECT_EQ(rig.geometry.rectForCharacterRange({NSNotFound, 0}), NSZeroRect);

    // Flipped, y is measured up from the bottom of the text view.
    const double boundsHeight =
        std::max(rig.edit.document()->documentLayout()->documentSize().height(),
                 double(rig.edit.viewport()->height()));
    const NSRect flipped = rig.geometry.rectForCharacterRange({1, 2}, true);
    EXPECT_NEAR(flipped.origin.y, boundsHeight - (part.origin.y + part.size.height), 0.01);
    EXPECT_EQ(flipped.size, part.size);
}

TEST(AnswerColumnTextGeometry, WithoutATextViewEveryRectangleIsZero) {
    NKPlainTextSource mirror(u"1\n2");
    auto lineMetrics = std::make_shared<NKTextViewLineMetrics>(&mirror);
    NBTextViewGeometry geometry(lineMetrics, lineMetrics, 10.0);
    EXPECT_EQ(geometry.rectForCharacterRange({0, 1}), NSZeroRect);
    EXPECT_EQ(geometry.paragraphSpacing(), 10.0);
    NBTextViewGeometry bare;
    EXPECT_EQ(bare.boundingRectOfLineAtIndex(0), NSZeroRect);
    EXPECT_EQ(bare.paragraphSpacing(), 0.0);
}

TEST(PrecisionNumberFormatter, NegativeSettingsShowAsAnEmptyField) {
    const NBPrecisionNumberFormatter formatter(QLocale::c());
    struct Row {
        QVariant value;
        QString shown;
    };
    const Row rows[] = {
        {QVariant(-1), ""},
        {QVariant(-1.0), ""},
        {QVariant(qlonglong(-40)), ""},
        {QVariant(0), "0"},
        {QVariant(3), "3"},
        {QVariant(12345), "12345"},
        {QVariant(qulonglong(65535)), "65535"},
        // The integer value of -0.5 is 0, which is not negative.
        {QVariant(-0.5), "0"},
        {QVariant(2.5), "2"},
        {QVariant(3.5), "4"},
        {QVariant(QString("7")), ""},
        {QVariant(), ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(formatter.stringForObjectValue(row.value), row.shown)
            << row.value.toString().toStdString();
    // Digits in the formatter's locale, without grouping.
    const NBPrecisionNumberFormatter arabic(QLocale(QLocale::Arabic, QLocale::Egypt));
    EXPECT_EQ(arabic.stringForObjectValue(QVariant(12)),
              QLocale(QLocale::Arabic, QLocale::Egypt).toString(12));
}
