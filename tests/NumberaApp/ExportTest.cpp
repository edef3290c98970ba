// Exporting a document: the sheet and its keys, CSV as spreadsheets read it, HTML in UTF-16,
// PDF pages with clear margins, RTF escapes, mail through xdg-email, failures as alerts that
// store nothing, printing behind the processing window.
#include <poppler-qt6.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTextBrowser>
#include <algorithm>

#include "ATMailHelper.h"
#include "AppTestFixture.h"
#include "DocumentWindowSupport.h"
#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBExportHelper.h"
#include "NBExportWindowController.h"
#include "NBHTMLPrinter.h"
#include "NBHTMLRTFConverter.h"
#include "NBMenuController.h"
#include "NBProcessWindow.h"
#include "NBTextView.h"
#include "NBViewController.h"

namespace {

class Export : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        m_path = qgetenv("PATH");
        QDir().mkpath(binFolder());
    }
    void TearDown() override {
        qputenv("PATH", m_path);
        AppTest::TearDown();
    }

    NBDocumentWindow* windowWithLines(const QStringList& lines) {
        NBDocumentWindow* window = firstDocumentWindow();
        window->show();
        QApplication::clipboard()->setText(lines.join('\n'));
        QTest::keyClick(window->textView(), Qt::Key_V, Qt::ControlModifier);
        QCoreApplication::processEvents();
        return window;
    }
    // A titled document, read from its file.
    NBDocumentWindow* windowForFile(const QString& name, const QStringList& lines) {
        settings().setObject("NBShowWelcomeWindowOnLaunch", false);
        const QString path = root() + "/" + name;
        writeDocumentFile(path, lines);
        NBAppController& app = launch();
        NBDocumentWindow* window = app.documents().openDocument(path);
        if (window) window->show();
        return window;
    }
    static NBExportWindowController& openSheet(NBDocumentWindow* window) {
        window->document().exportDocument();
        NBExportWindowController& sheet = window->document().exportWindowController();
        pumpEventsUntil([&] { return sheet.sheet() && sheet.sheet()->isVisible(); });
        return sheet;
    }
    // Chooses the format with its key, presses Save and writes into the given folder.
    QString exportThroughPanel(NBDocumentWindow* window, char key, const QString& folder,
                               const QString& name = QString()) {
        expectModalDialog(true);
        NBExportWindowController& sheet = openSheet(window);
        QTest::keyClick(sheet.sheet()->findChild<QComboBox*>("formatPopUp"), key);
        sheet.sheet()->findChild<QPushButton*>("saveButton")->click();
        QFileDialog* panel = sheet.savePanel();
        if (!panel) return {};
        panel->setDirectory(folder);
        if (!name.isEmpty()) panel->selectFile(name);
        const QString chosen = panel->selectedFiles().value(0);
        QMetaObject::invokeMethod(panel, "accept");
        QCoreApplication::processEvents();
        expectModalDialog(false);
        return chosen;
    }
    bool storedInSettings(const char* key) {
        settings().synchronize();
        return QSettings(settingsFile(), QSettings::IniFormat).contains(key);
    }
    QString binFolder() const { return root() + "/bin"; }
    // An xdg-email that writes each argument on a line of its own into the log.
    void installFakeMailProgram(int exitCode = 0) {
        const QString script = binFolder() + "/xdg-email";
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '%1'\n"
                           "echo --- >> '%1'\nexit %2\n")
                .arg(mailLog())
                .arg(exitCode)
                .toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", (binFolder() + ":" + QString::fromLocal8Bit(m_path)).toLocal8Bit());
    }
    QString mailLog() const { return root() + "/mail.log"; }
    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

  private:
    QByteArray m_path;
};

// Whether the picture has any pixel that is not white in the rectangle.
bool hasInk(const QImage& image, const QRect& area) {
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (QColor(image.pixel(x, y)).lightness() < 250) return true;
    return false;
}

// RTF groups open and close in pairs, escaped braces aside.
bool bracesBalance(const QByteArray& rtf) {
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        if (rtf[i] == '{') ++depth;
        if (rtf[i] == '}' && --depth < 0) return false;
    }
    return depth == 0;
}

TEST_F(Export, CSVDoublesTheQuotesOfItsFields) {
    NBDocumentWindow* window = windowWithLines({"price \"a, b\" 12", "Rent: 1200 + 30"});
    const QString path = exportThroughPanel(window, '3', root(), "Budget");
    EXPECT_TRUE(path.endsWith("/Budget"));
    EXPECT_EQ(QString::fromUtf8(contents(root() + "/Budget.csv")),
              "\"price \"\"a, b\"\" 12\",\"12\"\n\"Rent: 1200 + 30\",\"1,230\"\n");
    EXPECT_EQ(settings().objectForKey("NBDefaultExportFormat"), SettingsValue(int64_t{2}));
}

TEST_F(Export, ThePageShowsTheLineNumbersAndStatisticAsTheWindowDoes) {
    NBDocumentWindow* window = windowWithLines({"1", "2"});
    NBViewController& frame = *window->viewController();
    frame.setLineNumbersVisible(false, false);
    EXPECT_FALSE(window->document().exportHelper()->htmlStyle()->showsLineNumbers());
    frame.setLineNumbersVisible(true, false);
    frame.setSelectedStatistic(2);
    const auto helper = window->document().exportHelper();
    EXPECT_TRUE(helper->htmlStyle()->showsLineNumbers());
    EXPECT_EQ(helper->statistic(), 2);
}

TEST_F(Export, TextIsUTF8WithAnswersAfterEqualSigns) {
    NBDocumentWindow* window = windowWithLines({"Größe: 2 * 3", "x = 4"});
    exportThroughPanel(window, '4', root(), "Plain");
    EXPECT_EQ(QString::fromUtf8(contents(root() + "/Plain.txt")),
              QString::fromUtf16(u"Größe: 2 * 3 = 6\nx = 4 = 4\n"));
}

TEST_F(Export, AnUntitledDocumentExportsAsUntitledHTMLInUTF16) {
    NBDocumentWindow* window = windowWithLines({"2 + 3", "<b>&"});
    expectModalDialog(true);
    NBExportWindowController& sheet = openSheet(window);
    QTest::keyClick(sheet.sheet()->findChild<QComboBox*>("formatPopUp"), '2');
    sheet.sheet()->findChild<QPushButton*>("saveButton")->click();
    QFileDialog* panel = sheet.savePanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->labelText(QFileDialog::FileName), "Save HTML As:");
    panel->setDirectory(root());
    ASSERT_EQ(QFileInfo(panel->selectedFiles().value(0)).fileName(), "Untitled.html");
    QMetaObject::invokeMethod(panel, "accept");
    QCoreApplication::processEvents();
    const QByteArray bytes = contents(root() + "/Untitled.html");
    ASSERT_GE(bytes.size(), 2);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xFE);
    const QString page = QString::fromUtf16(
        reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    EXPECT_TRUE(page.contains("<html"));
    // The document's text is escaped.
    EXPECT_FALSE(page.contains("<b>"));
    EXPECT_TRUE(page.contains("&lt;"));
    EXPECT_EQ(settings().objectForKey("NBDefaultExportFormat"), SettingsValue(int64_t{1}));
}

TEST_F(Export, ASavedDocumentProposesItsNameWithoutTheDocumentExtension) {
    NBDocumentWindow* window = windowForFile("Rent.numbera.plan.numbera", {"1"});
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->document().exportTitle(), "Rent.plan");
    expectModalDialog(true);
    window->document().saveDocumentAsPDFTo();
    QFileDialog* panel = window->document().exportWindowController().savePanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->labelText(QFileDialog::FileName), "Save PDF As:");
    EXPECT_EQ(QFileInfo(panel->selectedFiles().value(0)).fileName(), "Rent.plan.pdf");
    // A cancelled panel writes nothing and remembers nothing.
    panel->reject();
    QCoreApplication::processEvents();
    EXPECT_FALSE(storedInSettings("NBDefaultExportFormat"));
}

struct PDFCase {
    const char* name;
    QStringList lines;
    int pages;  // at least
};

QStringList manyLines() {
    QStringList lines;
    for (int i = 1; i <= 80; ++i) lines << QStringLiteral("item %1: %1 * 3").arg(i);
    return lines;
}

class PDFPages : public Export, public ::testing::WithParamInterface<PDFCase> {};

TEST_P(PDFPages, TheFirstPageHasNoInkWithin36PointsOfAnEdge) {
    NBDocumentWindow* window = windowWithLines(GetParam().lines);
    exportThroughPanel(window, '1', root(), "Page");
    const QByteArray bytes = contents(root() + "/Page.pdf");
    ASSERT_TRUE(bytes.startsWith("%PDF"));
    std::unique_ptr<Poppler::Document> pdf = Poppler::Document::loadFromData(bytes);
    ASSERT_TRUE(pdf && !pdf->isLocked());
    ASSERT_GE(pdf->numPages(), 1);
    EXPECT_GE(pdf->numPages(), GetParam().pages);
    // One pixel a point.
    const QImage image = pdf->page(0)->renderToImage(72, 72);
    ASSERT_FALSE(image.isNull());
    for (int index = 0; index < pdf->numPages(); ++index) {
        const QImage picture = index == 0 ? image : pdf->page(index)->renderToImage(72, 72);
        const QSize paper = picture.size();
        EXPECT_FALSE(hasInk(picture, {0, 0, paper.width(), 36})) << index;
        EXPECT_FALSE(hasInk(picture, {0, paper.height() - 36, paper.width(), 36})) << index;
        EXPECT_FALSE(hasInk(picture, {0, 0, 36, paper.height()})) << index;
        EXPECT_FALSE(hasInk(picture, {paper.width() - 36, 0, 36, paper.height()})) << index;
        EXPECT_TRUE(hasInk(picture, QRect(36, 36, paper.width() - 72, paper.height() - 72)));
    }
    // The page fills the paper's width: the answers' column reaches the page's side inset of
    // 30 points inside the margin.
    const QSize paper = image.size();
    EXPECT_TRUE(hasInk(image, QRect(paper.width() - 36 - 30 - 4, 36, 4, paper.height() - 72)));
    EXPECT_FALSE(hasInk(image, QRect(paper.width() - 36 - 30 + 2, 36, 4, paper.height() - 72)));
    QLabel picture;
    picture.setPixmap(QPixmap::fromImage(image));
    picture.resize(image.size());
    saveScreenshot(&picture, QStringLiteral("export-pdf-%1-page").arg(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(
    Documents, PDFPages,
    ::testing::Values(PDFCase{"short", {"Rent: 1200 + 30", "Food: 400", "sum"}, 1},
                      PDFCase{"long", {QString(400, 'w') + " 5", "2 * 3"}, 1},
                      PDFCase{"many", manyLines(), 3}),
    [](const ::testing::TestParamInfo<PDFCase>& info) { return std::string(info.param.name); });

TEST_F(Export, RTFEscapesBracesAndWritesOtherCharactersAsUnicode) {
    NBDocumentWindow* window = windowWithLines({"{x} € 5", "back\\slash 2"});
    exportThroughPanel(window, '5', root(), "Rich");
    const QByteArray rtf = contents(root() + "/Rich.rtf");
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(bracesBalance(rtf));
    EXPECT_TRUE(rtf.contains("\\{x\\}"));
    EXPECT_TRUE(rtf.contains("\\u8364?"));
    EXPECT_TRUE(rtf.contains("back\\\\slash"));
    EXPECT_TRUE(rtf.contains("\\fonttbl"));
    EXPECT_TRUE(rtf.contains("\\colortbl"));
    // Pure ASCII, one paragraph for each line of the document.
    EXPECT_FALSE(std::any_of(rtf.begin(), rtf.end(), [](char c) { return c & 0x80; }));
    EXPECT_GE(rtf.count("\\par\n"), 2);
}

TEST_F(Export, RTFOfAnAstralCharacterWritesBothHalvesAsNegativeUnits) {
    const QByteArray rtf = NBHTMLRTFConverter(QString::fromUtf16(u"<p>a\U0001F600b</p>")).RTFData();
    EXPECT_TRUE(rtf.contains("a\\u-10179?\\u-8704?b"));
    EXPECT_TRUE(bracesBalance(rtf));
}

TEST_F(Export, MailGoesToXdgEmailWithTheTitleAndTheAttachedPage) {
    installFakeMailProgram();
    const QString name = QStringLiteral("Budget \"Q1\"; $(touch pwned) --attach x.numbera");
    NBDocumentWindow* window = windowForFile(name, {"Rent: 1200 + 30"});
    ASSERT_NE(window, nullptr);
    window->document().sendToMail();
    ASSERT_TRUE(pumpEventsUntil([&] { return contents(mailLog()).contains("---"); }));
    pumpEventsFor(100);
    const QStringList arguments = QString::fromUtf8(contents(mailLog())).split('\n');
    const QString title = QStringLiteral("Budget \"Q1\"; $(touch pwned) --attach x");
    ASSERT_EQ(arguments.size(), 6) << arguments.join('|').toStdString();
    EXPECT_EQ(arguments.mid(0, 3), QStringList({"--subject", title, "--attach"}));
    EXPECT_EQ(arguments[4], "---");
    const QString attachment = arguments[3];
    EXPECT_TRUE(attachment.startsWith(root() + "/cache/Numbera/Mail/"));
    const QString page = QString::fromUtf8(contents(attachment));
    EXPECT_TRUE(page.contains("Rent: 1200 + 30") || page.contains("Rent"));
    EXPECT_TRUE(page.contains("style=\""));
    EXPECT_FALSE(page.contains("<style"));
    EXPECT_FALSE(QFile::exists(QDir::currentPath() + "/pwned"));
    EXPECT_EQ(window->findChild<QMessageBox*>("exportAlert"), nullptr);

    // The next launch removes the pages of earlier mails.
    quit();
    launch();
    EXPECT_FALSE(QFile::exists(attachment));
}

TEST_F(Export, TheMailFormatOfTheSheetMailsWithoutASavePanel) {
    installFakeMailProgram();
    NBDocumentWindow* window = windowWithLines({"1 + 1"});
    expectModalDialog(true);
    NBExportWindowController& sheet = openSheet(window);
    QComboBox* popUp = sheet.sheet()->findChild<QComboBox*>("formatPopUp");
    popUp->setCurrentIndex(popUp->findData(NBExportFormatMail));
    EXPECT_EQ(sheet.selectedExportFormat(), NBExportFormatMail);
    EXPECT_TRUE(sheet.optionsView()->isVisible());
    sheet.sheet()->findChild<QPushButton*>("saveButton")->click();
    EXPECT_EQ(sheet.savePanel(), nullptr);
    ASSERT_TRUE(pumpEventsUntil([&] { return contents(mailLog()).contains("---"); }));
    EXPECT_TRUE(contents(mailLog()).startsWith("--subject\nUntitled\n--attach\n"));
}

TEST_F(Export, WithoutXdgEmailMailingShowsAnAlert) {
    qputenv("PATH", binFolder().toLocal8Bit());
    NBDocumentWindow* window = windowWithLines({"1 + 1"});
    expectModalDialog(true);
    window->document().sendToMail();
    auto* alert = window->findChild<QMessageBox*>("exportAlert");
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->text(), "The document could not be mailed.");
    EXPECT_TRUE(alert->informativeText().contains("xdg-email"));
}

TEST_F(Export, AMailProgramThatFailsLaterShowsAnAlert) {
    installFakeMailProgram(3);
    NBDocumentWindow* window = windowWithLines({"1 + 1"});
    expectModalDialog(true);
    window->document().sendToMail();
    QMessageBox* alert = nullptr;
    ASSERT_TRUE(pumpEventsUntil([&] {
        alert = window->findChild<QMessageBox*>("exportAlert");
        return alert && alert->isVisible();
    }));
    EXPECT_EQ(alert->text(), "The document could not be mailed.");
}

class FailedExport : public Export, public ::testing::WithParamInterface<int32_t> {};

TEST_P(FailedExport, IntoAFolderThatIsAFileShowsAnAlertAndStoresNothing) {
    QFile blocker(root() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    NBDocumentWindow* window = windowWithLines({"2 + 2"});
    expectModalDialog(true);
    NBExportWindowController& sheet = window->document().exportWindowController();
    sheet.setParentWindow(window);
    sheet.setExportHelper(window->document().exportHelper());
    sheet.setLineCollection(window->document().lineCollection());
    sheet.setSelectedExportFormat(GetParam());
    EXPECT_FALSE(sheet.saveToPath(root() + "/blocker/Budget", false));
    auto* alert = qobject_cast<QMessageBox*>(sheet.alert());
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_TRUE(alert->text().contains("Budget."));
    EXPECT_FALSE(alert->informativeText().isEmpty());
    EXPECT_FALSE(storedInSettings("NBDefaultExportFormat"));
    EXPECT_TRUE(QFileInfo(root() + "/blocker").isFile());
}

INSTANTIATE_TEST_SUITE_P(Formats, FailedExport, ::testing::Values(0, 1, 2, 3, 4));

TEST_F(Export, TheSheetsKeysChooseFormatsAndItsSwitchesReachThePreview) {
    NBDocumentWindow* window = windowWithLines({"Rent: 1200 + 30", "Food: 400"});
    expectModalDialog(true);
    settings().setObject("NBDefaultExportFormat", int64_t{1});
    NBExportWindowController& sheet = openSheet(window);
    QWidget* dialog = sheet.sheet();
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->parentWidget(), window);
    QComboBox* popUp = dialog->findChild<QComboBox*>("formatPopUp");
    EXPECT_EQ(popUp->currentData().toInt(), NBExportFormatHTML);
    ASSERT_TRUE(sheet.optionsView()->isVisible());
    QTextBrowser* preview = sheet.preview();
    EXPECT_TRUE(preview->toPlainText().contains("Rent: 1200 + 30"));
    EXPECT_EQ(preview->textInteractionFlags(), Qt::NoTextInteraction);
    EXPECT_EQ(preview->contextMenuPolicy(), Qt::NoContextMenu);

    // Title, date and syntax colouring are remembered; line numbers and statistic are not.
    // Every switch reaches the preview.
    const std::pair<const char*, const char*> switches[] = {
        {"titleCheckBox", "NBExportShowsTitle"},
        {"dateCheckBox", "NBExportShowsDate"},
        {"syntaxColoringCheckBox", "NBExportWantsSyntaxColoring"},
        {"lineNumbersCheckBox", nullptr},
        {"statisticCheckBox", nullptr}};
    for (const auto& [name, key] : switches) {
        QCheckBox* box = dialog->findChild<QCheckBox*>(name);
        ASSERT_NE(box, nullptr) << name;
        const QString before = preview->toHtml();
        const bool on = !box->isChecked();
        box->setChecked(on);
        EXPECT_NE(preview->toHtml(), before) << name;
        if (key) {
            EXPECT_EQ(settings().objectForKey(key), SettingsValue(on)) << name;
            EXPECT_TRUE(storedInSettings(key)) << name;
        }
    }
    EXPECT_FALSE(storedInSettings("NBLineNumbersVisible"));
    EXPECT_FALSE(storedInSettings("NBStatisticsBarVisible"));
    const NKLineCollectionExporterHTMLStyle& style = *sheet.exportHelper()->htmlStyle();
    EXPECT_EQ(style.showsLineNumbers(), sheet.showsLineNumbers());
    EXPECT_EQ(style.showsDocumentStatistic(), sheet.showsStatistic());
    EXPECT_EQ(style.showsDocumentTitle(), sheet.showsTitle());
    // Back to a title for the picture.
    dialog->findChild<QCheckBox*>("titleCheckBox")->setChecked(true);
    dialog->findChild<QCheckBox*>("syntaxColoringCheckBox")->setChecked(true);
    EXPECT_TRUE(preview->toPlainText().contains("Untitled"));
    saveScreenshot(dialog, "export-sheet-with-preview");

    struct KeyCase {
        char key;
        int format;
        bool options;
    };
    for (const KeyCase& c :
         {KeyCase{'3', NBExportFormatCSV, false}, KeyCase{'6', NBExportFormatCSV, false},
          KeyCase{'0', NBExportFormatCSV, false}, KeyCase{'5', NBExportFormatRTF, true},
          KeyCase{'4', NBExportFormatText, false}, KeyCase{'1', NBExportFormatPDF, true}}) {
        QTest::keyClick(popUp, c.key);
        EXPECT_EQ(sheet.selectedExportFormat(), c.format) << c.key;
        EXPECT_EQ(popUp->currentData().toInt(), c.format) << c.key;
        EXPECT_EQ(sheet.optionsView()->isVisible(), c.options) << c.key;
        if (!c.options) {
            EXPECT_EQ(dialog->width(), 248) << c.key;
        }
    }
    QTest::keyClick(popUp, '3');
    saveScreenshot(dialog, "export-sheet-csv");
    sheet.cancel();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(sheet.savePanel(), nullptr);
}

TEST_F(Export, TheProcessingWindowIsOneAndShowsItsTitleWhenShown) {
    NBProcessWindow& window = NBProcessWindow::sharedInstance();
    EXPECT_EQ(&window, &NBProcessWindow::sharedInstance());
    window.setProcessTitle(QString());
    window.showWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.textField()->text(), "");
    window.setProcessTitle("Working");
    EXPECT_EQ(window.textField()->text(), "");
    window.closeWindow();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(Export, PrintingShowsPreparingDocumentThenPrintsWithTheAddedSettings) {
    NBDocumentWindow* window = windowWithLines({"Rent: 1200 + 30"});
    const QString path = root() + "/printed.pdf";
    window->document().printDocumentWithSettings(
        {{NBPrintInfo::kJobDisposition, NBPrintInfo::kSaveJob}, {NBPrintInfo::kSavePath, path}},
        false);
    NBProcessWindow& process = NBProcessWindow::sharedInstance();
    EXPECT_TRUE(process.isVisible());
    EXPECT_EQ(process.textField()->text(), "Preparing Document...");
    saveScreenshot(&process, "export-preparing-document");
    ASSERT_TRUE(pumpEventsUntil([&] { return !process.isVisible(); }));
    EXPECT_TRUE(contents(path).startsWith("%PDF"));
    // The settings went to a copy: the document's own print info is untouched.
    EXPECT_TRUE(window->document().printInfo().dictionary().isEmpty());
}

TEST_F(Export, PrintingIntoAFolderThatIsAFileShowsAnAlert) {
    QFile blocker(root() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    NBDocumentWindow* window = windowWithLines({"1 + 2"});
    expectModalDialog(true);
    window->document().printDocumentWithSettings(
        {{NBPrintInfo::kJobDisposition, NBPrintInfo::kSaveJob},
         {NBPrintInfo::kSavePath, root() + "/blocker/printed.pdf"}},
        false);
    QMessageBox* alert = nullptr;
    ASSERT_TRUE(pumpEventsUntil([&] {
        alert = window->findChild<QMessageBox*>("exportAlert");
        return alert && alert->isVisible();
    }));
    EXPECT_EQ(alert->text(), "The document could not be printed.");
    EXPECT_FALSE(NBProcessWindow::sharedInstance().isVisible());
    EXPECT_TRUE(QFileInfo(root() + "/blocker").isFile());
}

TEST_F(Export, PrintingWithThePanelWaitsForTheUser) {
    NBDocumentWindow* window = windowWithLines({"1 + 2"});
    expectModalDialog(true);
    window->document().printDocumentWithSettings({}, true);
    QPrintDialog* panel = nullptr;
    ASSERT_TRUE(pumpEventsUntil([&] {
        panel = window->findChild<QPrintDialog*>("printPanel");
        return panel && panel->isVisible();
    }));
    EXPECT_FALSE(NBProcessWindow::sharedInstance().isVisible());
    panel->reject();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->findChild<QMessageBox*>("exportAlert"), nullptr);
    EXPECT_TRUE(pumpEventsUntil([&] { return !window->document().findChild<NBHTMLPrinter*>(); }));
}

}  // namespace

namespace {

TEST_F(Export, TheFileMenuOpensTheSheetAndThePDFPanelOnTheDocument) {
    NBDocumentWindow* window = windowWithLines({"1 + 2"});
    window->activateWindow();
    expectModalDialog(true);
    app()->menuController().action("export:")->trigger();
    NBExportWindowController& sheet = window->document().exportWindowController();
    ASSERT_NE(sheet.sheet(), nullptr);
    EXPECT_TRUE(sheet.sheet()->isVisible());
    sheet.cancel();
    app()->menuController().action("saveDocumentAsPDFTo:")->trigger();
    ASSERT_NE(sheet.savePanel(), nullptr);
    EXPECT_EQ(sheet.savePanel()->labelText(QFileDialog::FileName), "Save PDF As:");
    EXPECT_FALSE(sheet.sheet()->isVisible());
    sheet.savePanel()->reject();
}

}  // namespace
