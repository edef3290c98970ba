// Fresh settings and new documents take the number signs of the user's locale. This test is run by
// ctest under LC_ALL=de_DE.UTF-8 (its own entry); under any other locale it has nothing to prove.
#include <QFile>
#include <QTest>

#include "AppTestFixture.h"
#include "DocumentWindowSupport.h"
#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBTextView.h"
#include "NBUserDefaultsController.h"
#include "QtSettings.h"

namespace {

class GermanLocale : public AppTest {};

TEST_F(GermanLocale, FreshSettingsTakeTheLocalesDecimalCommaAndGroupingStop) {
    if (qEnvironmentVariable("LC_ALL") != QLatin1String("de_DE.UTF-8"))
        GTEST_SKIP() << "runs under LC_ALL=de_DE.UTF-8";
    ASSERT_FALSE(QFile::exists(settingsFile()));
    EXPECT_EQ(NBUserDefaultsController::decimalIndicator(), u",");
    EXPECT_EQ(NBUserDefaultsController::thousandsSeparator(), u".");
    EXPECT_EQ(settings().stringForKey("NBDecimalPointSign"), std::u16string(u","));
    EXPECT_EQ(settings().stringForKey("NBThousandsSeperatorSign"), std::u16string(u"."));
}

}  // namespace

namespace {

TEST_F(GermanLocale, ADocumentTakesTheDecimalCommaInTypingAndAnswers) {
    if (qEnvironmentVariable("LC_ALL") != QLatin1String("de_DE.UTF-8"))
        GTEST_SKIP() << "runs under LC_ALL=de_DE.UTF-8";
    settings().setObject("NBShowWelcomeWindowOnLaunch", false);
    NBAppController& app = launch();
    NBDocumentWindow* window = app.documents().documents().empty()
                                   ? app.documents().newDocument()
                                   : app.documents().documents().front();
    QTest::keyClicks(window->textView(), "1,5+1");
    EXPECT_EQ(answerTexts(window->document()), QStringList({"2,5"}));
}

}  // namespace
