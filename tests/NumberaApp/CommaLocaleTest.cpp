// Every file the application reads or writes keeps its numbers under a decimal-comma locale:
// the colours, currencies, stocks and variables, the units, the defaults and the documents.
// The application object sets the process locale from the user's, as Qt does; these cases run
// from their own ctest entries under LC_ALL=de_DE.UTF-8 and LC_ALL=fr_FR.UTF-8.
#include <QFile>
#include <QLocale>
#include <QTest>
#include <clocale>

#include "AppTestFixture.h"
#include "DocumentWindowSupport.h"
#include "NBColorManager.h"
#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBEnvironmentController.h"
#include "NBTextView.h"
#include "NBUserDefaultsController.h"
#include "NCPropertyListValue.h"
#include "NCVariable.h"
#include "NKCurrenciesManager.h"
#include "NKCurrency.h"
#include "NKEnvironment.h"
#include "NKStock.h"
#include "NKStocksManager.h"
#include "NKVariablesManager.h"
#include "ProgramRunner.h"
#include "PropertyListFile.h"

namespace {

class CommaLocale : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        // The process locale, as Qt set it from LC_ALL.
        const char* point = std::localeconv()->decimal_point;
        if (!point || std::string(point) != ",")
            GTEST_SKIP() << "runs under a decimal-comma locale (LC_ALL=de_DE.UTF-8 or fr_FR.UTF-8)";
        settings().setObject("NBShowWelcomeWindowOnLaunch", false);
    }

    NKEnvironment& environment() { return *app()->environmentController()->environment(); }

    // The answers of lines typed into a new document window.
    QStringList answersOf(const QStringList& lines) {
        NBDocumentWindow* window = app()->documents().newDocument();
        window->show();
        QApplication::setActiveWindow(window);
        for (int i = 0; i < lines.size(); ++i) {
            if (i) QTest::keyClick(window->textView(), Qt::Key_Return);
            QTest::keyClicks(window->textView(), lines[i]);
        }
        QCoreApplication::processEvents();
        return answerTexts(window->document());
    }

    std::shared_ptr<const NCPropertyListValue> readPlist(const QString& path) {
        std::string error;
        auto value = NCPropertyListValue::readFromFile(path.toStdString(), &error);
        EXPECT_NE(value, nullptr) << path.toStdString() << ": " << error;
        return value;
    }
};

TEST_F(CommaLocale, TheColourSchemeKeepsItsFractions) {
    launch();
    // Resources/Colors.plist: the numbers' colour is 0.1, 0.31, 0.63.
    const auto numbers =
        NBColorManager::sharedInstance().colorForIdentifier(u"NBNumbersSyntaxColor");
    ASSERT_TRUE(numbers);
    EXPECT_NEAR(numbers->redComponent, 0.1, 1e-6);
    EXPECT_NEAR(numbers->greenComponent, 0.31, 1e-6);
    EXPECT_NEAR(numbers->blueComponent, 0.63, 1e-6);
    // Written back, a fraction keeps its point.
    const std::string xml = PropertyListFile::xmlData(PropertyListFile::real(0.31).get());
    EXPECT_NE(xml.find("<real>0.31"), std::string::npos) << xml;
    const std::string path = (root() + "/real.plist").toStdString();
    {
        PlistPtr dictionary = PropertyListFile::dictionary();
        PropertyListFile::set(dictionary.get(), "value", PropertyListFile::real(0.31));
        ASSERT_TRUE(PropertyListFile::writeAtomically(path, dictionary.get(), nullptr));
    }
    const auto reread = readPlist(QString::fromStdString(path));
    ASSERT_TRUE(reread && reread->valueForKey(u"value"));
    EXPECT_DOUBLE_EQ(reread->valueForKey(u"value")->real(), 0.31);
}

TEST_F(CommaLocale, CurrenciesStocksAndVariablesComeBackAsTheyWereSaved) {
    NBAppController& first = launch();
    auto rent = NCVariable::variableWithName(u"rent");
    rent->setValue(u"1200.5");
    rent->setEnabled(true);
    ASSERT_TRUE(environment().variablesManager()->addVariable(rent));
    auto euro = environment().fullCurrenciesManager()->currencyWithCode(u"EUR");
    ASSERT_NE(euro, nullptr);
    euro->setRate(u"0.9123");
    euro->setSourceDate(123456);
    auto stocks = environment().fullStocksManager();
    ASSERT_NE(stocks, nullptr);
    std::string error;
    const auto stock = NCPropertyListValue::readFromData(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
        "<key>name</key><string>exmp</string><key>ticker</key><string>EXMP</string>"
        "<key>value</key><string>123.45</string><key>company</key><string>Example</string>"
        "<key>sourceDate</key><date>2020-01-02T03:04:05Z</date></dict></plist>",
        &error);
    ASSERT_NE(stock, nullptr) << error;
    stocks->addStock(std::make_shared<NKStock>(*stock));
    const QStringList before = answersOf({"rent*2", "exmp*2"});
    const QString thousands = QLocale().groupSeparator();
    ASSERT_EQ(before.size(), 2);
    EXPECT_EQ(before[0], "2" + thousands + "401") << before.join(" | ").toStdString();
    EXPECT_TRUE(before[1].contains("246,9")) << before.join(" | ").toStdString();
    (void)first;
    quit();

    // Saved with the point, whatever the locale.
    const auto currencies = readPlist(dataFolder() + "/Currencies.plist");
    ASSERT_TRUE(currencies);
    const auto saved = currencies->valueForKey(u"NKCurrencies");
    ASSERT_TRUE(saved && saved->valueForKey(u"EUR"));
    EXPECT_EQ(saved->valueForKey(u"EUR")->valueForKey(u"rate")->string(), u"0.9123");
    EXPECT_DOUBLE_EQ(saved->valueForKey(u"EUR")->valueForKey(u"sourceDate")->real(), 123456);

    launch();
    EXPECT_EQ(environment().fullCurrenciesManager()->currencyWithCode(u"EUR")->rate(), u"0.9123");
    EXPECT_EQ(answersOf({"rent*2", "exmp*2"}), before);
    const auto keptStocks = readPlist(dataFolder() + "/Stocks.plist");
    ASSERT_TRUE(keptStocks && keptStocks->valueForKey(u"NKStocks"));
}

TEST_F(CommaLocale, UnitsAndDefaultsReadTheirFractions) {
    // A default of the real kind in the defaults file.
    QFile defaults(resourcesFolder() + "/Defaults.plist");
    ASSERT_TRUE(defaults.open(QIODevice::ReadOnly));
    QByteArray text = defaults.readAll();
    defaults.close();
    text.replace("<dict>", "<dict><key>NBTestFraction</key><real>0.75</real>");
    ASSERT_TRUE(defaults.open(QIODevice::WriteOnly | QIODevice::Truncate));
    defaults.write(text);
    defaults.close();
    // Registered again from the changed file, as a launch registers them.
    const QLocale locale;
    NBUserDefaultsController::resetRegisteredDefaults();
    NBUserDefaultsController::registerDefaults(NBUserDefaultsController::registrationDictionary(
        (resourcesFolder() + "/Defaults.plist").toStdString(),
        locale.decimalPoint().toStdU16String(), locale.groupSeparator().toStdU16String()));
    launch();
    const auto fraction = settings().objectForKey("NBTestFraction");
    ASSERT_TRUE(fraction && std::holds_alternative<double>(*fraction));
    EXPECT_DOUBLE_EQ(std::get<double>(*fraction), 0.75);
    // The units file's factors.
    EXPECT_EQ(answersOf({"1 in in cm", "1,5 in in cm"}), QStringList({"2,54 cm", "3,81 cm"}));
}

TEST_F(CommaLocale, ADocumentSavedAndOpenedAgainKeepsItsNumbers) {
    launch();
    NBDocumentWindow* window = app()->documents().newDocument();
    window->show();
    QApplication::setActiveWindow(window);
    QTest::keyClicks(window->textView(), "1,5*2");
    QTest::keyClick(window->textView(), Qt::Key_Return);
    QTest::keyClicks(window->textView(), "0,1+0,2");
    QCoreApplication::processEvents();
    EXPECT_EQ(answerTexts(window->document()), QStringList({"3", "0,3"}));
    const QString path = root() + "/comma.numbera";
    ASSERT_TRUE(window->saveDocumentAs(path));
    window->closeWithoutAsking();

    NBDocumentWindow* again = app()->documents().openDocument(path);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(answerTexts(again->document()), QStringList({"3", "0,3"}));
    // The previewer, in the C locale, reads it with the document's own signs.
    const ProgramRun run =
        runProgram(NUMBERA_PREVIEW_PROGRAM, {"--format", "text", path.toStdString()},
                   {{"XDG_DATA_HOME", dataHome().toStdString()},
                    {"HOME", root().toStdString()},
                    {"LC_ALL", "C"}},
                   120);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, "1,5*2 = 3\n0,1+0,2 = 0,3\n");
}

}  // namespace
