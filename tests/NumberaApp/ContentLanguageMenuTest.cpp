// The content-language pop-up: "Automatic", a separator, then the bundle's languages in menu
// order, tagged with their numbers and shown with their flags.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include "AppTestFixture.h"
#include "NBContentLanguageMenu.h"
#include "NBLocalizationHelper.h"
#include "ResourceBundle.h"

namespace {

class ContentLanguagePopUp : public AppTest {};

TEST_F(ContentLanguagePopUp, ThePopUpListsTheBundlesLanguagesInMenuOrderWithTheirTags) {
    QTemporaryDir bundle;
    for (const char* code : {"ru", "de", "en", "se", "ja", "xx"})
        QDir(bundle.path()).mkpath(QString(code) + ".lproj");
    NBLocalizationHelper::setContentBundle(
        std::make_shared<ResourceBundle>(bundle.path().toStdString()));
    QDir(resourcesFolder()).mkpath("Images");
    QFile flag(resourcesFolder() + "/Images/de.svg");
    ASSERT_TRUE(flag.open(QIODevice::WriteOnly));
    flag.write(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"12\">"
        "<rect width=\"16\" height=\"12\" fill=\"#000\"/></svg>");
    flag.close();
    // A language without a flag image is listed all the same.
    QFile::remove(resourcesFolder() + "/Images/ja.svg");

    QComboBox box;
    NBContentLanguageMenu::fill(&box);
    NBLocalizationHelper::setContentBundle(nullptr);

    std::vector<qlonglong> tags;
    QStringList titles;
    int separators = 0;
    for (int i = 0; i < box.count(); ++i) {
        if (box.itemData(i, Qt::AccessibleDescriptionRole).toString() == "separator") {
            ++separators;
            tags.push_back(-1);
            titles << "-";
            continue;
        }
        tags.push_back(box.itemData(i).toLongLong());
        titles << box.itemText(i);
    }
    // "xx" sorts with "en" and has no number of its own (15).
    EXPECT_EQ(separators, 1);
    ASSERT_GE(tags.size(), 7u);
    EXPECT_EQ(tags[0], 0);
    EXPECT_TRUE(titles[0].startsWith("Automatic ("));
    EXPECT_EQ(tags[1], -1);
    const std::vector<qlonglong> languages(tags.begin() + 2, tags.end());
    EXPECT_EQ(languages.front(), 1);  // English first
    const std::vector<qlonglong> tail(languages.end() - 4, languages.end());
    EXPECT_EQ(tail, (std::vector<qlonglong>{3, 6, 13, 11}));  // de, se, ja, ru
    EXPECT_TRUE(titles.contains("Deutsch"));
    EXPECT_TRUE(titles.contains("Svenska"));
    const int german = box.findData(QVariant::fromValue<qlonglong>(3));
    ASSERT_GE(german, 0);
    EXPECT_FALSE(box.itemIcon(german).isNull());
    EXPECT_TRUE(box.itemIcon(box.findData(QVariant::fromValue<qlonglong>(13))).isNull());
    EXPECT_TRUE(NBContentLanguageMenu::selectLanguage(&box, 13));
    EXPECT_EQ(box.currentData().toLongLong(), 13);
    EXPECT_FALSE(NBContentLanguageMenu::selectLanguage(&box, 14));
}

}  // namespace
