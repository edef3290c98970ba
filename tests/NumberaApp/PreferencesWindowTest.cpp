// The preferences window: its panes and their titles, the resize that keeps the top edge, the
// pane remembered, the number signs that never become equal (and re-format the documents at
// once), the decimal places capped at 50 with an alert, the restart notices, the syntax
// colours and the pane content installed from outside.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

#include "AppTestFixture.h"
#include "DocumentWindowSupport.h"
#include "NBColorManager.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBEnvironmentController.h"
#include "NBLocalizationHelper.h"
#include "NBMenuController.h"
#include "NBPreferencesWindowController.h"
#include "NBTextView.h"
#include "NBUserDefaultsController.h"
#include "NKEnvironment.h"
#include "NotificationCenter.h"
#include "QtSettings.h"

namespace {

const QStringList kPanes = {NBPrefPaneGeneral, NBPrefPaneEditing, NBPrefPaneUnits,
                            NBPrefPaneNumbers, NBPrefPaneStyle,   NBPrefPaneMathKey,
                            NBPrefPaneLanguage};

class PreferencesWindow : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        settings().setObject("NBShowWelcomeWindowOnLaunch", false);
        m_localeChanges = NotificationCenter::defaultCenter().addObserver(
            NBSimpleLocaleChanged, nullptr, nullptr, [this](const NSNotification&) { ++m_posted; });
    }
    void TearDown() override {
        NotificationCenter::defaultCenter().removeObserver(m_localeChanges);
        AppTest::TearDown();
    }

    NBPreferencesWindowController& showPreferences() {
        if (!app()) launch();
        NBPreferencesWindowController& preferences = app()->preferencesController();
        preferences.show();
        preferences.finishTransition();
        return preferences;
    }
    static void switchTo(NBPreferencesWindowController& preferences, const QString& pane) {
        preferences.switchToPaneWithIdentifier(pane);
        preferences.finishTransition();
    }
    static QLineEdit* field(NBPreferencesWindowController& preferences, const char* name) {
        return preferences.paneView(NBPrefPaneNumbers)->findChild<QLineEdit*>(name);
    }
    // Types into the field as the user does and ends the edit with Return.
    static void enter(QLineEdit* field, const QString& text) {
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    static std::u16string sign(const char* key) {
        return NBUserDefaultsController::stringForKey(key).value_or(u"");
    }

    int m_posted = 0;
    NotificationObserver m_localeChanges;
};

TEST_F(PreferencesWindow, HasItsPanesInOrderAndTitlesTheWindowWithThePanesLabel) {
    NBPreferencesWindowController& preferences = showPreferences();
    QStringList toolbar;
    for (QAction* item : preferences.toolbar()->actions()) toolbar << item->objectName();
    EXPECT_EQ(toolbar, kPanes);
    EXPECT_EQ(preferences.toolbar()->objectName(), "NUMBERA-two");
    const QStringList labels = {"General", "Editing", "Units",   "Formatting",
                                "Styling", "MathKey", "Language"};
    for (int i = 0; i < kPanes.size(); ++i) {
        switchTo(preferences, kPanes[i]);
        EXPECT_EQ(preferences.window()->windowTitle(), labels[i]);
        EXPECT_EQ(preferences.currentPaneView(), preferences.paneView(kPanes[i]));
        EXPECT_TRUE(preferences.currentPaneView()->isVisible()) << kPanes[i].toStdString();
        saveScreenshot(preferences.window(), "prefs-pane-" + labels[i].toLower());
    }
    // The panes were made once, on the first switch.
    EXPECT_TRUE(preferences.loadedNibs());
    QWidget* general = preferences.paneView(NBPrefPaneGeneral);
    switchTo(preferences, NBPrefPaneGeneral);
    EXPECT_EQ(preferences.paneView(NBPrefPaneGeneral), general);
    EXPECT_EQ(preferences.paneView("NBPrefPaneNoSuchPane"), nullptr);
    EXPECT_TRUE(preferences.preferencesLabelForPaneIdentifier(preferences, "nope").isEmpty());
}

TEST_F(PreferencesWindow, SwitchingResizesWithTheTopEdgeInPlaceAndFadesTheNewPaneIn) {
    NBPreferencesWindowController& preferences = showPreferences();
    switchTo(preferences, NBPrefPaneGeneral);
    QMainWindow* window = preferences.window();
    const int top = window->geometry().top();
    const int generalHeight = window->height();
    preferences.switchToPaneWithIdentifier(NBPrefPaneNumbers);
    // The new pane is on its way in, not yet at full opacity.
    EXPECT_TRUE(preferences.transitionView()->inTransition());
    ASSERT_TRUE(pumpEventsUntil([&] { return !preferences.transitionView()->inTransition(); }));
    const int toolbar = preferences.toolbar()->sizeHint().height();
    EXPECT_EQ(window->height(), preferences.paneView(NBPrefPaneNumbers)->height() + toolbar);
    EXPECT_NE(window->height(), generalHeight);
    EXPECT_EQ(window->geometry().top(), top);

    // The pane already shown: nothing happens.
    preferences.switchToPaneWithIdentifier(NBPrefPaneNumbers);
    EXPECT_FALSE(preferences.transitionView()->inTransition());
    // An unknown pane changes nothing.
    preferences.switchToPaneWithIdentifier("NBPrefPaneNoSuchPane");
    EXPECT_EQ(preferences.currentPaneIdentifier(), NBPrefPaneNumbers);
}

TEST_F(PreferencesWindow, TheLastPaneShowsAgainAfterARelaunch) {
    NBPreferencesWindowController& first = showPreferences();
    switchTo(first, NBPrefPaneStyle);
    first.window()->close();
    QPointer<QMainWindow> firstWindow = first.window();
    launch();  // a fresh application with the same settings
    EXPECT_TRUE(firstWindow.isNull());
    NBPreferencesWindowController& second = showPreferences();
    EXPECT_EQ(second.currentPaneIdentifier(), NBPrefPaneStyle);
    EXPECT_EQ(second.window()->windowTitle(), "Styling");
}

TEST_F(PreferencesWindow, EqualSignsMoveTheOtherAsideAndDocumentsReformatAtOnce) {
    NBAppController& app = launch();
    NBDocumentWindow* document = app.documents().newDocument();
    QTest::keyClicks(document->textView(), "1234.5");
    ASSERT_EQ(answerTexts(document->document()), QStringList({"1,234.5"}));

    NBPreferencesWindowController& preferences = showPreferences();
    switchTo(preferences, NBPrefPaneNumbers);
    QLineEdit* decimal = field(preferences, "decimalPointSignField");
    QLineEdit* thousands = field(preferences, "thousandsSeparatorSignField");
    ASSERT_NE(decimal, nullptr);
    ASSERT_NE(thousands, nullptr);

    enter(decimal, ",");
    EXPECT_EQ(sign(NBDecimalPointSign), u",");
    EXPECT_EQ(sign(NBThousandsSeperatorSign), u".");
    EXPECT_EQ(thousands->text(), ".");
    EXPECT_EQ(m_posted, 1);
    ASSERT_TRUE(pumpEventsUntil([&] {
        return answerTexts(document->document()) == QStringList({"1.234,5"});
    })) << answerTexts(document->document()).join('|').toStdString();
    EXPECT_EQ(blockTexts(*document->textView()), QStringList({"1234,5"}));
    saveScreenshot(preferences.window(), "prefs-formatting-decimal-comma");

    enter(thousands, ",");
    EXPECT_EQ(sign(NBThousandsSeperatorSign), u",");
    EXPECT_EQ(sign(NBDecimalPointSign), u".");
    EXPECT_EQ(decimal->text(), ".");
    EXPECT_EQ(m_posted, 2);
    ASSERT_TRUE(pumpEventsUntil(
        [&] { return answerTexts(document->document()) == QStringList({"1,234.5"}); }));

    // A space is a sign too; the same sign again posts nothing new.
    enter(thousands, " ");
    EXPECT_EQ(sign(NBThousandsSeperatorSign), u" ");
    EXPECT_EQ(sign(NBDecimalPointSign), u".");
    EXPECT_EQ(m_posted, 3);
    enter(thousands, " ");
    EXPECT_EQ(m_posted, 3);
}

TEST_F(PreferencesWindow, ADigitOrLetterIsRefusedAsASignAndAnEmptiedFieldTakesTheLocales) {
    NBPreferencesWindowController& preferences = showPreferences();
    switchTo(preferences, NBPrefPaneNumbers);
    QLineEdit* decimal = field(preferences, "decimalPointSignField");
    QLabel* error = preferences.paneView(NBPrefPaneNumbers)->findChild<QLabel*>("separatorError");
    for (const QString& refused : QStringList({"5", "a", ",,", "'", " "})) {
        enter(decimal, refused);
        EXPECT_EQ(sign(NBDecimalPointSign), u".") << refused.toStdString();
        EXPECT_EQ(decimal->text(), ".");
        EXPECT_TRUE(error->isVisible());
    }
    EXPECT_EQ(m_posted, 0);
    // The message shows whole: the pane grows to hold it rather than squeeze its rows.
    QWidget* pane = preferences.paneView(NBPrefPaneNumbers);
    ASSERT_TRUE(pumpEventsUntil([&] {
        return error->height() >= error->heightForWidth(error->width()) &&
               pane->rect().contains(QRect(error->mapTo(pane, QPoint(0, 0)), error->size())) &&
               preferences.window()->height() >= pane->height();
    })) << error->height()
        << " " << error->heightForWidth(error->width());
    EXPECT_GE(decimal->height(), decimal->sizeHint().height());
    saveScreenshot(preferences.window(), "prefs-formatting-sign-refused");

    enter(decimal, ",");
    EXPECT_FALSE(error->isVisible());
    decimal->clear();
    QTest::keyClick(decimal, Qt::Key_Return);
    // The test runs under a locale whose decimal sign is ".".
    EXPECT_EQ(sign(NBDecimalPointSign), QLocale().decimalPoint().toStdU16String());

    // An apostrophe groups thousands.
    QLineEdit* thousands = field(preferences, "thousandsSeparatorSignField");
    enter(thousands, "'");
    EXPECT_EQ(sign(NBThousandsSeperatorSign), u"'");
}

TEST_F(PreferencesWindow, AHandEditedDigitAsDecimalSignCorruptsNoAnswer) {
    NBAppController& app = launch();
    NBDocumentWindow* document = app.documents().newDocument();
    settings().setObject(NBDecimalPointSign, std::u16string(u"1"));
    NotificationCenter::defaultCenter().post(NBSimpleLocaleChanged);
    pumpEventsFor(20);
    QTest::keyClicks(document->textView(), "10/4");
    EXPECT_EQ(answerTexts(document->document()), QStringList({"2.5"}));
}

TEST_F(PreferencesWindow, MoreThanFiftyDecimalPlacesShowsTheAlertAndFifty) {
    NBPreferencesWindowController& preferences = showPreferences();
    switchTo(preferences, NBPrefPaneNumbers);
    QLineEdit* precision = field(preferences, "precisionField");
    ASSERT_NE(precision, nullptr);
    EXPECT_EQ(precision->text(), "2");

    expectModalDialog(true);
    enter(precision, "60");
    EXPECT_EQ(precision->text(), "50");
    EXPECT_EQ(NBUserDefaultsController::integerForKey(NBDefaultPrecision), 50);
    auto* alert = preferences.window()->findChild<QMessageBox*>("precisionAlert");
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), "Numbera doesn't support that level of accuracy");
    EXPECT_EQ(alert->informativeText(), "The maximum level of accuracy is 50 decimal places.");
    saveScreenshot(alert, "prefs-precision-alert");
    alert->accept();
    expectModalDialog(false);

    enter(precision, "7");
    EXPECT_EQ(NBUserDefaultsController::integerForKey(NBDefaultPrecision), 7);
    enter(precision, "x");
    EXPECT_EQ(NBUserDefaultsController::integerForKey(NBDefaultPrecision), 7);
    EXPECT_EQ(precision->text(), "7");
    precision->clear();
    QTest::keyClick(precision, Qt::Key_Return);
    EXPECT_EQ(NBUserDefaultsController::integerForKey(NBDefaultPrecision), -1);
    EXPECT_EQ(precision->text(), "");
}

TEST_F(PreferencesWindow, TheNotationNoteFollowsTheThreshold) {
    NBPreferencesWindowController& preferences = showPreferences();
    switchTo(preferences, NBPrefPaneNumbers);
    auto* note =
        preferences.paneView(NBPrefPaneNumbers)->findChild<QLabel*>("notationDescriptionField");
    EXPECT_EQ(note->text(), "Notation will kick in for numbers with 10 or more digits.");
    enter(field(preferences, "thresholdField"), "14");
    EXPECT_EQ(NBUserDefaultsController::integerForKey(NBNotationThreshold), 14);
    EXPECT_EQ(note->text(), "Notation will kick in for numbers with 14 or more digits.");
    enter(field(preferences, "thresholdField"), "0");
    EXPECT_EQ(NBUserDefaultsController::integerForKey(NBNotationThreshold), 14);
    EXPECT_EQ(field(preferences, "thresholdField")->text(), "14");
}

TEST_F(PreferencesWindow, RestartNoticesGrowAndShrinkTheWindow) {
    NBPreferencesWindowController& preferences = showPreferences();
    QMainWindow* window = preferences.window();
    auto environment = NKEnvironment::sharedEnvironment();
    ASSERT_NE(environment, nullptr);

    switchTo(preferences, NBPrefPaneLanguage);
    const int languageHeight = window->height();
    const int top = window->geometry().top();
    const int64_t original = NBUserDefaultsController::contentLanguage();
    ASSERT_FALSE(preferences.localizationRelatedRestartRequired());
    // A content language other than the one the calculations were loaded in.
    int64_t other = 1;
    while (NBLocalizationHelper::languageCodeForContentLanguage(other) ==
           environment->localization())
        ++other;
    NBUserDefaultsController::setContentLanguage(other);
    preferences.finishTransition();
    EXPECT_TRUE(preferences.localizationRelatedRestartRequired());
    EXPECT_EQ(window->height(), languageHeight + 33);
    EXPECT_EQ(window->geometry().top(), top);
    auto* notice =
        preferences.paneView(NBPrefPaneLanguage)->findChild<QLabel*>("languageRestartNotice");
    EXPECT_TRUE(notice->isVisible());
    saveScreenshot(window, "prefs-language-restart-notice");
    NBUserDefaultsController::setContentLanguage(original);
    preferences.finishTransition();
    EXPECT_FALSE(notice->isVisible());
    EXPECT_EQ(window->height(), languageHeight);

    switchTo(preferences, NBPrefPaneUnits);
    const int unitsHeight = window->height();
    settings().setObject(NBUnitMeasurementSystem, int64_t{1});
    preferences.finishTransition();
    EXPECT_TRUE(preferences.unitRelatedRestartRequired());
    EXPECT_EQ(window->height(), unitsHeight + 40);
    saveScreenshot(window, "prefs-units-restart-notice");
    settings().setObject(NBUnitMeasurementSystem, int64_t{0});
    preferences.finishTransition();
    EXPECT_FALSE(preferences.unitRelatedRestartRequired());
    EXPECT_EQ(window->height(), unitsHeight);
}

TEST_F(PreferencesWindow, StylingKeepsTenSyntaxColoursAndAMissingOneBecomesRed) {
    launch();
    auto& entries = NBColorManager::sharedInstance().dataSource();
    std::erase_if(entries, [](const std::shared_ptr<NBColor>& entry) {
        return entry->identifier() == std::u16string(u"NBLabelsSyntaxColor");
    });
    NBPreferencesWindowController& preferences = showPreferences();
    const auto labels = NBColorManager::sharedInstance().colorForIdentifier(u"NBLabelsSyntaxColor");
    ASSERT_TRUE(labels.has_value());
    EXPECT_EQ(labels->redComponent, 1.0);
    EXPECT_EQ(labels->greenComponent, 0.0);
    EXPECT_EQ(preferences.syntaxColor("NBLabelsSyntaxColor"), QColor(Qt::red));

    switchTo(preferences, NBPrefPaneStyle);
    QWidget* pane = preferences.paneView(NBPrefPaneStyle);
    int swatches = 0;
    for (const char* id : {"NBNumbersSyntaxColor", "NBOperatorsSyntaxColor", "NBWordsSyntaxColor",
                           "NBUnitsSyntaxColor", "NBFunctionsSyntaxColor", "NBConstantsSyntaxColor",
                           "NBBracketsSyntaxColor", "NBHeadingsSyntaxColor", "NBLabelsSyntaxColor",
                           "NBCommentsSyntaxColor"})
        swatches += pane->findChild<QPushButton*>(id) != nullptr;
    EXPECT_EQ(swatches, 10);

    // The colour panel's choice is stored.
    QTest::mouseClick(pane->findChild<QPushButton*>("NBNumbersSyntaxColor"), Qt::LeftButton);
    auto* panel = preferences.window()->findChild<QColorDialog*>("colorPanel");
    ASSERT_NE(panel, nullptr);
    panel->setCurrentColor(QColor(0, 0, 255));
    panel->accept();
    const auto numbers =
        NBColorManager::sharedInstance().colorForIdentifier(u"NBNumbersSyntaxColor");
    ASSERT_TRUE(numbers.has_value());
    EXPECT_EQ(numbers->blueComponent, 1.0);
    EXPECT_EQ(numbers->redComponent, 0.0);
    EXPECT_EQ(preferences.syntaxColor("NBNumbersSyntaxColor"), QColor(0, 0, 255));
}

TEST_F(PreferencesWindow, BoundControlsWriteTheirSettingsAndFollowThem) {
    // The fixture turns the spaces off for typing tests; a user starts with them on.
    settings().setObject(NBAddSpacesAroundOperators, true);
    NBPreferencesWindowController& preferences = showPreferences();
    switchTo(preferences, NBPrefPaneEditing);
    auto* spaces =
        preferences.paneView(NBPrefPaneEditing)->findChild<QCheckBox*>(NBAddSpacesAroundOperators);
    ASSERT_NE(spaces, nullptr);
    EXPECT_TRUE(spaces->isChecked());
    spaces->click();
    EXPECT_FALSE(NBUserDefaultsController::boolForKey(NBAddSpacesAroundOperators));
    settings().setObject(NBAddSpacesAroundOperators, true);
    EXPECT_TRUE(spaces->isChecked());

    auto* alignment =
        preferences.paneView(NBPrefPaneStyle)->findChild<QComboBox*>(NBDefaultTextAlignment);
    ASSERT_NE(alignment, nullptr);
    alignment->setCurrentIndex(alignment->findData(1));
    emit alignment->activated(alignment->currentIndex());
    EXPECT_EQ(NBUserDefaultsController::integerForKey(NBDefaultTextAlignment), 1);

    // There is no updater: its check box is not shown.
    auto* updates = preferences.paneView(NBPrefPaneGeneral)
                        ->findChild<QCheckBox*>("automaticallyChecksForUpdates");
    ASSERT_NE(updates, nullptr);
    EXPECT_FALSE(updates->isVisibleTo(preferences.paneView(NBPrefPaneGeneral)));
    EXPECT_FALSE(preferences.automaticallyChecksForUpdates());
}

TEST_F(PreferencesWindow, AnInstalledPaneWidgetReplacesTheMathKeyPlaceholder) {
    launch();
    NBPreferencesWindowController& preferences = app()->preferencesController();
    // Given before the panes exist: it waits for them.
    auto* early = new QLabel("keystrokes");
    early->setObjectName("installedEarly");
    preferences.setPaneWidget(NBPrefPaneMathKey, early);
    preferences.show();
    switchTo(preferences, NBPrefPaneMathKey);
    QWidget* pane = preferences.paneView(NBPrefPaneMathKey);
    EXPECT_EQ(pane->findChild<QLabel*>("installedEarly"), early);
    EXPECT_EQ(pane->findChild<QLabel*>("mathKeyPlaceholder"), nullptr);

    // Given later: the earlier content goes.
    QPointer<QLabel> gone = early;
    auto* later = new QWidget;
    later->setObjectName("installedLater");
    later->setMinimumSize(900, 400);
    preferences.setPaneWidget(NBPrefPaneMathKey, later);
    preferences.finishTransition();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
    EXPECT_EQ(pane->findChild<QWidget*>("installedLater"), later);
    EXPECT_GE(pane->height(), 400);
    EXPECT_EQ(preferences.window()->height(),
              pane->height() + preferences.toolbar()->sizeHint().height());
    // A wider content widens every pane and the window with it.
    EXPECT_GE(pane->width(), 900);
    EXPECT_EQ(preferences.paneView(NBPrefPaneGeneral)->width(), pane->width());
    EXPECT_EQ(preferences.window()->width(), pane->width());
    // An unknown pane takes nothing.
    QPointer<QWidget> stray = new QWidget;
    preferences.setPaneWidget("NBPrefPaneNoSuchPane", stray);
    EXPECT_TRUE(stray.isNull());
}

TEST_F(PreferencesWindow, ThePreferencesCommandShowsTheWindow) {
    NBAppController& app = launch();
    QAction* command = app.menuController().action("showPreferences:");
    ASSERT_NE(command, nullptr);
    ASSERT_TRUE(command->isEnabled());
    command->trigger();
    ASSERT_NE(app.preferencesController().window(), nullptr);
    EXPECT_TRUE(app.preferencesController().window()->isVisible());
    EXPECT_EQ(NBPreferencesWindowController::sharedPreferences(), &app.preferencesController());
}

}  // namespace
