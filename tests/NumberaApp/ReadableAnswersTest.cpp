// Answers as people read them: exponents raised and smaller wherever an answer is drawn, cut
// answers shown whole in a tool tip, a new window wide enough for common answers and the split
// kept with the document, references copied and jumped as the answers they show, the clicked
// answer inserted, and exported files that read right (plain "×10^" exponents, the HTML's
// declared encoding, RTF tab stops, PDF answers never broken).
#include <poppler-qt6.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPixmap>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <memory>

#include "AppTestFixture.h"
#include "DocumentWindowSupport.h"
#include "NBAnswerColumnController.h"
#include "NBAnswerColumnView.h"
#include "NBAnswerPalette.h"
#include "NBAnswerPaletteController.h"
#include "NBAttributedText.h"
#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBExportHelper.h"
#include "NBHTMLPrinter.h"
#include "NBInterfaceHelpers.h"
#include "NBKettraView.h"
#include "NBProcessWindow.h"
#include "NBTextAttributes.h"
#include "NBTextView.h"
#include "NBTextViewController.h"
#include "NBTokenCell.h"
#include "NBTotalsPopupButton.h"
#include "NBViewController.h"
#include "NCExpressionTokenType.h"
#include "NotificationCenter.h"

namespace {

class ReadableAnswers : public AppTest {
  protected:
    static NBDocumentController& document(NBDocumentWindow* window) { return window->document(); }
    static void run(NBDocumentWindow* window, const char* command, int tag = -1) {
        EXPECT_TRUE(document(window).performCommand(QString::fromLatin1(command), tag)) << command;
        QCoreApplication::processEvents();
    }
    static NSAttributedString row(NBDocumentWindow* window, uint64_t index) {
        NBAnswerColumnView* column = window->answerColumn();
        return column->dataSource()->objectValueForRow(*column, index);
    }
    // "120", "255", then a line that refers to the first by a token, plus 255 and 255.
    NBDocumentWindow* windowWithAReference() {
        NBDocumentWindow* window = windowWithTypedLines({"120", "255", ""});
        run(window, "insertAnswerTokenReferringToLineAtSendersTag:", 1);
        QTest::keyClicks(window->textView(), " + 255 + 255");
        QCoreApplication::processEvents();
        return window;
    }
    QByteArray exported(NBDocumentWindow* window, int32_t format) {
        const QString path =
            root() + "/export." + NBExportHelper::fileExtensionForExportFormat(format);
        QString error;
        EXPECT_TRUE(document(window).exportHelper()->exportLineCollection(
            document(window).lineCollection(), path, format, false, &error))
            << error.toStdString();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

// The runs of an attributed string, in order.
struct TextRun {
    std::u16string text;
    double size;
    int64_t superscript;
};

std::vector<TextRun> runsOf(const NSAttributedString& string) {
    std::vector<TextRun> runs;
    for (uint64_t index = 0; index < string.length();) {
        NSRange range{};
        const NSAttributes attributes = string.attributesAtIndex(index, &range);
        const auto size = attributes.find(NSFontSizeAttributeName);
        const auto raised = attributes.find(NSSuperscriptAttributeName);
        runs.push_back({string.string().substr(range.location, range.length),
                        size == attributes.end() ? 0 : std::get<double>(size->second),
                        raised == attributes.end() ? 0 : std::get<int64_t>(raised->second)});
        index = NSMaxRange(range);
    }
    return runs;
}

TEST_F(ReadableAnswers, AnswerRowsRaiseTheirExponentsAtTheDefaultScales) {
    NBDocumentWindow* window = windowWithTypedLines({"2^64", "100!", "2+3"});
    for (uint64_t index : {0, 1}) {
        const std::vector<TextRun> runs = runsOf(row(window, index));
        ASSERT_EQ(runs.size(), 3u) << index;
        EXPECT_EQ(runs[1].text, u"\u00D710");
        EXPECT_EQ(runs[2].text, index == 0 ? u"19" : u"157");
        // The defaults' scales: the base string at 0.8, the exponent at 0.7 and raised.
        EXPECT_DOUBLE_EQ(runs[1].size, runs[0].size * 0.8);
        EXPECT_DOUBLE_EQ(runs[2].size, runs[0].size * 0.7);
        EXPECT_EQ(runs[0].superscript, 0);
        EXPECT_EQ(runs[2].superscript, 1);
    }
    EXPECT_EQ(runsOf(row(window, 2)).size(), 1u);
    // Copied, the exponent follows "×10^" as it would be typed.
    EXPECT_EQ(document(window).answerColumnController().formattedResultOnLine(0),
              u"1.84\u00D710^19");
    saveScreenshot(window, "readable-answer-column-exponents");
}

TEST_F(ReadableAnswers, ACutAnswerShowsWholeInItsToolTip) {
    NBDocumentWindow* window = windowWithTypedLines({"2^64 * 3", "2+3", "1/0"});
    NBKettraView* panes = window->findChild<NBKettraView*>();
    ASSERT_NE(panes, nullptr);
    NBAnswerColumnView* column = window->answerColumn();
    // At a new window's width the error shows whole: no tip.
    EXPECT_EQ(column->toolTipForRow(2), QString());
    EXPECT_EQ(column->toolTipForRow(1), QString());
    panes->setAnswerColumnWidth(static_cast<int>(NBKettraView::kAnswerColumnMinimumWidth));
    pumpEventsFor(50);
    const QString error = column->toolTipForRow(2);
    EXPECT_TRUE(error.contains("Error: Divide by Zero")) << error.toStdString();
    const QString big = column->toolTipForRow(0);
    EXPECT_TRUE(big.contains("<sup>")) << big.toStdString();
    EXPECT_TRUE(big.contains(">19<")) << big.toStdString();
    EXPECT_EQ(column->toolTipForRow(1), QString());
    EXPECT_EQ(column->toolTipForRow(-1), QString());
    saveScreenshot(window, "readable-answer-column-narrow");
}

TEST_F(ReadableAnswers, ANewWindowShowsCommonAnswersWholeAndKeepsADraggedSplit) {
    settings().setObject("NBShowWelcomeWindowOnLaunch", false);
    NBAppController& app = launch();
    NBDocumentWindow* window = app.documents().newDocument();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->size(), NBKettraView::defaultWindowSize());
    window->show();
    pumpEventsFor(50);
    NBKettraView* panes = window->findChild<NBKettraView*>();
    ASSERT_NE(panes, nullptr);
    const QFontMetricsF metrics(NBTextAttributes::defaultTextViewFont());
    for (const char* answer : {"Error: Divide by Zero", "1,080 kilometers", "127.39 USD"})
        EXPECT_GE(panes->answerColumnWidth(),
                  metrics.horizontalAdvance(QString::fromLatin1(answer)) + 5 + 25)
            << answer;
    EXPECT_GT(panes->answerColumnWidth(), NBAnswerColumnView::kDefaultWidth);

    // A dragged divider is kept with the document and comes back when it is opened again.
    QTest::keyClicks(window->textView(), "1/0");
    panes->setAnswerColumnWidth(230);
    NotificationCenter::defaultCenter().post(NBKettraViewDidFinishResizing, panes);
    EXPECT_TRUE(window->isWindowModified());
    const QString path = root() + "/split.numbera";
    ASSERT_TRUE(window->saveDocumentAs(path));
    window->close();
    pumpEventsFor(20);
    NBDocumentWindow* reopened = app.documents().openDocument(path);
    ASSERT_NE(reopened, nullptr);
    reopened->show();
    pumpEventsFor(50);
    EXPECT_EQ(reopened->findChild<NBKettraView*>()->answerColumnWidth(), 230);
    EXPECT_FALSE(reopened->isWindowModified());
}

TEST_F(ReadableAnswers, CopiesAndJumpedAnswersShowReferencesAsTheirAnswers) {
    settings().setObject("NBSyntaxColoringEnabled", true);
    NBDocumentWindow* window = windowWithAReference();
    ASSERT_TRUE(blockTexts(*window->textView()).last().contains("___"));
    run(window, "copyExpressionAndResult:", 2);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    EXPECT_EQ(copied->text(), "120 + 255 + 255 = 630");
    // The styled copy colours numbers and operators as the text does, the separator orange.
    const QString html = copied->html();
    EXPECT_FALSE(html.contains("___"));
    EXPECT_TRUE(html.contains("#ff8000")) << html.toStdString();
    EXPECT_TRUE(html.contains(NBSyntaxColorForTokenType(NCExpressionTokenTypeNumber, 0).name()))
        << html.toStdString();
    run(window, "copyResult:", 2);
    EXPECT_EQ(QApplication::clipboard()->text(), "630");

    run(window, "jumpAnswers:");
    QTextDocument* jumped = window->textView()->document();
    EXPECT_EQ(jumped->toPlainText(), "120 = 120\n255 = 255\n120 + 255 + 255 = 630");
    // Showing the answers edits nothing.
    EXPECT_FALSE(jumped->isModified());
    const QTextBlock last = jumped->lastBlock();
    const auto colourAt = [&](int offset) {
        QTextCursor cursor(jumped);
        cursor.setPosition(last.position() + offset + 1);
        return cursor.charFormat().foreground().color();
    };
    const int equals = last.text().indexOf(" = ");
    const auto near = [](const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) < 3 && std::abs(a.green() - b.green()) < 3 &&
               std::abs(a.blue() - b.blue()) < 3;
    };
    EXPECT_TRUE(near(colourAt(equals + 1), QColor(255, 128, 0)));
    EXPECT_TRUE(near(colourAt(0), NBSyntaxColorForTokenType(NCExpressionTokenTypeNumber, 0)));
    EXPECT_TRUE(near(colourAt(4), NBSyntaxColorForTokenType(NCExpressionTokenTypeOperator, 0)));
    saveScreenshot(window, "readable-jumped-answers");
    run(window, "jumpAnswers:");
    EXPECT_TRUE(blockTexts(*window->textView()).last().contains("___"));

    // With colouring off everything is black, the separator too.
    settings().setObject("NBSyntaxColoringEnabled", false);
    run(window, "copyExpressionAndResult:", 2);
    EXPECT_FALSE(QApplication::clipboard()->mimeData()->html().contains("#ff8000"));
}

TEST_F(ReadableAnswers, ShiftDoubleClickInsertsTheAnswerOfTheRowClicked) {
    NBDocumentWindow* window = windowWithTypedLines({"2+3", "10*2", "7", ""});
    NBAnswerColumnView* column = window->answerColumn();
    column->selectRowIndexes(NSIndexSet(2), false);
    window->textView()->moveCursor(QTextCursor::End);
    QTest::mouseDClick(column, Qt::LeftButton, Qt::ShiftModifier,
                       column->rectOfRow(0).center().toPoint());
    EXPECT_EQ(blockTexts(*window->textView()).last(), "5");
    window->textView()->moveCursor(QTextCursor::End);
    QTest::mouseDClick(column, Qt::LeftButton, Qt::AltModifier,
                       column->rectOfRow(1).center().toPoint());
    EXPECT_EQ(blockTexts(*window->textView()).last(), "5+20");
}

TEST_F(ReadableAnswers, NoInfoButtonOffersThePaletteWhileAnswersAreJumped) {
    NBDocumentWindow* window = windowWithTypedLines({"2+3", "4"});
    NBAnswerPaletteController& palette =
        document(window).answerColumnController().answerPaletteController();
    EXPECT_TRUE(palette.showsButtons());
    palette.showAnswerPaletteOnLineIndex(0, false);
    ASSERT_TRUE(pumpEventsUntil([&] { return palette.paletteIsVisible(); }));
    run(window, "jumpAnswers:");
    EXPECT_FALSE(palette.showsButtons());
    EXPECT_FALSE(palette.buttonVisibileOnLine(0));
    EXPECT_FALSE(palette.buttonVisibileOnLine(1));
    EXPECT_TRUE(pumpEventsUntil([&] { return !palette.paletteIsVisible(); }));
    palette.setButtonsNeedReposition();
    EXPECT_FALSE(palette.buttonVisibileOnLine(0));
    run(window, "jumpAnswers:");
    EXPECT_TRUE(palette.showsButtons());
}

TEST_F(ReadableAnswers, ThePaletteRaisesTheExponentOfItsDecimalValue) {
    NBDocumentWindow* window = windowWithTypedLines({"2^64"});
    NBAnswerPaletteController& palette =
        document(window).answerColumnController().answerPaletteController();
    palette.showAnswerPaletteOnLineIndex(0, false);
    ASSERT_TRUE(pumpEventsUntil([&] { return palette.paletteIsVisible(); }));
    NBAnswerPaletteTableView* table = palette.answerPalette()->tableView();
    ASSERT_EQ(table->labelText(0), "Decimal:");
    // Copied and dragged, the value keeps its superscript characters; drawn, its exponent is
    // raised digits at the defaults' scale.
    EXPECT_TRUE(table->valueText(0).endsWith(QString::fromUtf16(u"\u00D710\u00B9\u2079")));
    const NBAttributedText drawn = table->drawnValue(0, Qt::black);
    ASSERT_EQ(drawn.runs().size(), 3u);
    EXPECT_EQ(drawn.runs()[2].text, "19");
    EXPECT_EQ(drawn.runs()[2].superscript, 1);
    EXPECT_NEAR(drawn.runs()[2].font.pointSizeF(), table->font().pointSizeF() * 0.7, 0.01);
    EXPECT_NEAR(drawn.runs()[1].font.pointSizeF(), table->font().pointSizeF() * 0.8, 0.01);
    EXPECT_GE(table->necessaryValueWidth(), static_cast<int>(drawn.width()));
    saveScreenshot(palette.answerPalette(), "readable-palette");
}

TEST_F(ReadableAnswers, TheDragImageIsTheTokenTheDropBecomes) {
    NBDocumentWindow* window = windowWithTypedLines({"2+3"});
    NBAnswerColumnView* column = window->answerColumn();
    NBAnswerColumnViewDataSource* source = column->dataSource();
    NBTokenCell cell;
    // The capsule's fill, beside the text: the colour of the style.
    const auto fillOf = [&](Qt::KeyboardModifiers modifiers) {
        const QImage image = source->dragImageForRow(*column, 0, modifiers).toImage();
        QColor fill = image.pixelColor(image.width() / 4 + 2, image.height() / 2);
        fill.setAlpha(255);
        return fill;
    };
    const auto near = [](const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) < 12 && std::abs(a.green() - b.green()) < 12 &&
               std::abs(a.blue() - b.blue()) < 12;
    };
    EXPECT_TRUE(near(fillOf(Qt::NoModifier), cell.colorsForTokenStyle(0).fill))
        << fillOf(Qt::NoModifier).name().toStdString();
    EXPECT_TRUE(near(fillOf(Qt::ControlModifier), cell.colorsForTokenStyle(1).fill))
        << fillOf(Qt::ControlModifier).name().toStdString();
    // With Alt only text goes: no capsule behind it.
    EXPECT_EQ(qAlpha(source->dragImageForRow(*column, 0, Qt::AltModifier).toImage().pixel(1, 1)),
              0);
}

TEST_F(ReadableAnswers, TheStatisticsBarRaisesTheExponentOfItsValue) {
    NBDocumentWindow* window = windowWithTypedLines({"2^64", "1"});
    NBTotalsPopupButton* button = window->viewController()->statisticsButton();
    ASSERT_TRUE(pumpEventsUntil([&] { return !button->rightCompontent().isEmpty(); }));
    EXPECT_EQ(button->rightCompontent(), QString::fromUtf16(u"1.84\u00D710\u00B9\u2079"));
    const NBAttributedText drawn = button->drawnRightComponent();
    ASSERT_EQ(drawn.runs().size(), 3u);
    EXPECT_EQ(drawn.runs()[2].text, "19");
    EXPECT_EQ(drawn.runs()[2].superscript, 1);
    EXPECT_LT(drawn.runs()[2].font.pointSizeF(), drawn.runs()[0].font.pointSizeF());
    saveScreenshot(window, "readable-statistics-bar");
}

TEST_F(ReadableAnswers, PlainTextExportsWriteExponentsAfterACaret) {
    NBDocumentWindow* window = windowWithTypedLines({"2^64", ""});
    run(window, "insertAnswerTokenReferringToLineAtSendersTag:", 1);
    QTest::keyClicks(window->textView(), " * 2");
    QCoreApplication::processEvents();
    EXPECT_EQ(QString::fromUtf8(exported(window, NBExportFormatText)),
              QString::fromUtf16(u"2^64 = 1.84\u00D710^19\n"
                                 u"1.84\u00D710^19 * 2 = 3.69\u00D710^19\n"));
    EXPECT_EQ(QString::fromUtf8(exported(window, NBExportFormatCSV)),
              QString::fromUtf16(u"\"2^64\",\"1.84\u00D710^19\"\n"
                                 u"\"1.84\u00D710^19 * 2\",\"3.69\u00D710^19\"\n"));
}

TEST_F(ReadableAnswers, TheHTMLFileDeclaresTheEncodingItIsWrittenIn) {
    NBDocumentWindow* window = windowWithTypedLines({"2^64"});
    const QByteArray bytes = exported(window, NBExportFormatHTML);
    ASSERT_GE(bytes.size(), 2);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xFE);
    const QString page = QString::fromUtf16(
        reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    EXPECT_TRUE(page.contains("charset=utf-16"));
    EXPECT_FALSE(page.contains("charset=utf-8"));
    EXPECT_TRUE(page.contains("<span class=\"sci_notation_exponent\">19</span>"));
    // The page the previewer and mail use keeps its own UTF-8.
    const std::optional<std::u16string> mail = document(window).exportHelper()->exportData(
        document(window).lineCollection(), NBExportFormatInlinedHTML);
    ASSERT_TRUE(mail);
    EXPECT_NE(mail->find(u"charset=utf-8"), std::u16string::npos);
}

TEST_F(ReadableAnswers, RTFLinesTheAnswersUpAtATabStopInTheDocumentsFont) {
    NBDocumentWindow* window = windowWithTypedLines({"1", "100 EUR * 1.086", "2^64"});
    const QByteArray rtf = exported(window, NBExportFormatRTF);
    const QString family = window->textView()->document()->defaultFont().family();
    EXPECT_TRUE(rtf.contains("{\\fonttbl{\\f0\\fnil " + family.toUtf8() + ";}")) << rtf.data();
    // Every row of a line sets the same stops and reaches its answer by a tab.
    const QList<QByteArray> rows = rtf.split('\n');
    QByteArray stops;
    int lines = 0;
    for (const QByteArray& line : rows) {
        if (!line.contains("\\tab")) continue;
        ++lines;
        const qsizetype start = line.indexOf("\\tx");
        ASSERT_GE(start, 0) << line.data();
        const QByteArray own = line.mid(start, line.indexOf(' ', start) - start);
        if (stops.isEmpty()) stops = own;
        EXPECT_EQ(own, stops) << line.data();
    }
    EXPECT_GE(lines, 3);
    EXPECT_TRUE(rtf.contains("\\super")) << rtf.data();
    EXPECT_TRUE(rtf.contains("108.60 EUR}")) << rtf.data();
}

// The words poppler reads on the first page, with their boxes.
std::vector<std::pair<QString, QRectF>> wordsOf(const QByteArray& pdf) {
    std::vector<std::pair<QString, QRectF>> words;
    std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    if (!document || document->numPages() < 1) return words;
    for (const auto& box : document->page(0)->textList())
        words.emplace_back(box->text(), box->boundingBox());
    return words;
}

TEST_F(ReadableAnswers, ThePDFPageKeepsEveryAnswerWholeAndShowsTheStatistic) {
    settings().setObject("NBDefaultPrecision", int64_t{10});
    NBDocumentWindow* window =
        windowWithTypedLines({"Rent: 1/3", "100 EUR * 1.086", "2^64", "120", "255"});
    window->viewController()->setStatisticsBarVisible(true, false);
    const auto words = wordsOf(exported(window, NBExportFormatPDF));
    ASSERT_FALSE(words.empty());
    const auto find = [&](const QString& text, int skip = 0) -> std::optional<QRectF> {
        for (const auto& [word, box] : words)
            if (word == text && skip-- == 0) return box;
        return std::nullopt;
    };
    // Numbers come out whole, and a unit stays on its number's line.
    EXPECT_TRUE(find("0.3333333333"));
    const auto amount = find("108.60");
    const auto unit = find("EUR", 1);
    ASSERT_TRUE(amount && unit);
    EXPECT_NEAR(amount->center().y(), unit->center().y(), 1);
    // The exponent stands higher than its mantissa, in a smaller size.
    std::optional<QRectF> mantissa, exponent;
    for (size_t i = 0; i + 1 < words.size(); ++i)
        if (words[i].first.startsWith(QString::fromUtf16(u"1.8446744074\u00D710"))) {
            mantissa = words[i].second;
            exponent = words[i + 1].second;
            EXPECT_EQ(words[i + 1].first, "19");
            break;
        }
    ASSERT_TRUE(mantissa && exponent);
    EXPECT_LT(exponent->height(), mantissa->height());
    EXPECT_LT(exponent->bottom(), mantissa->bottom());
    // The statistic's line shows its value beside its title.
    const auto title = find("Total:");
    ASSERT_TRUE(title);
    bool valued = false;
    for (const auto& [word, box] : words)
        valued = valued || (std::abs(box.center().y() - title->center().y()) < 2 &&
                            box.left() > title->right() && !word.trimmed().isEmpty());
    EXPECT_TRUE(valued);
}

TEST_F(ReadableAnswers, ThePreparingWindowIsPaintedBeforeThePageIsMade) {
    NBDocumentWindow* window = windowWithTypedLines({"1 + 2"});
    const QString path = root() + "/printed.pdf";
    window->document().printDocumentWithSettings(
        {{NBPrintInfo::kJobDisposition, NBPrintInfo::kSaveJob}, {NBPrintInfo::kSavePath, path}},
        false);
    NBProcessWindow& process = NBProcessWindow::sharedInstance();
    EXPECT_TRUE(process.isVisible());
    EXPECT_TRUE(process.hasBeenPainted());
    ASSERT_TRUE(pumpEventsUntil([&] { return !process.isVisible(); }));
    ASSERT_TRUE(pumpEventsUntil([&] { return QFile::exists(path); }));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));
}

}  // namespace
