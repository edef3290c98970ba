// The settings file: values come back with their registered default's type, a hand-edited
// value of the wrong type answers the default, and every change is announced for its key.
#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "QtSettings.h"

namespace {

const std::map<std::string, SettingsValue> kDefaults = {
    {"Flag", true},
    {"Count", int64_t(3)},
    {"Ratio", 0.5},
    {"Name", std::u16string(u"Numbera")},
    {"Names", std::vector<std::u16string>{u"a", u"b"}},
};

TEST(QtSettings, ValuesReadBackFromTheFileHaveTheirDefaultsTypes) {
    QTemporaryDir folder;
    const QString path = folder.path() + "/Numbera/Numbera.conf";
    {
        QtSettings settings(path);
        settings.registerDefaults(kDefaults);
        settings.setObject("Flag", false);
        settings.setObject("Count", int64_t(-42));
        settings.setObject("Ratio", 1.25);
        settings.setObject("Name", std::u16string(u"Zürich, 1,5 €"));
        settings.setObject("Names", std::vector<std::u16string>{u"x", u"y, z"});
        settings.setDictionary("Creator", {{u"CreatorVersion", u"2.0"}, {u"CreatorID", u"id"}});
        EXPECT_TRUE(settings.synchronize());
    }
    QtSettings reread(path);
    reread.registerDefaults(kDefaults);
    EXPECT_EQ(reread.objectForKey("Flag"), SettingsValue(false));
    EXPECT_EQ(reread.objectForKey("Count"), SettingsValue(int64_t(-42)));
    EXPECT_EQ(reread.objectForKey("Ratio"), SettingsValue(1.25));
    EXPECT_EQ(reread.objectForKey("Name"), SettingsValue(std::u16string(u"Zürich, 1,5 €")));
    EXPECT_EQ(reread.objectForKey("Names"),
              SettingsValue(std::vector<std::u16string>{u"x", u"y, z"}));
    EXPECT_EQ(reread.dictionaryForKey("Creator"),
              (std::map<std::u16string, std::u16string>{{u"CreatorVersion", u"2.0"},
                                                        {u"CreatorID", u"id"}}));
    EXPECT_FALSE(reread.objectForKey("Unknown").has_value());
}

TEST(QtSettings, AHandEditedValueOfTheWrongTypeAnswersTheDefault) {
    struct Row {
        const char* key;
        const char* fileText;
        SettingsValue expected;
    };
    const Row rows[] = {
        {"Flag", "maybe", true},         {"Flag", "no", false},        {"Flag", "0", false},
        {"Count", "twelve", int64_t(3)}, {"Count", "12", int64_t(12)}, {"Count", "1.5", int64_t(3)},
        {"Ratio", "half", 0.5},          {"Ratio", "2.5", 2.5},
    };
    for (const Row& row : rows) {
        QTemporaryDir folder;
        const QString path = folder.path() + "/Numbera.conf";
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[General]\n") + row.key + "=" + row.fileText + "\n");
        file.close();
        QtSettings settings(path);
        settings.registerDefaults(kDefaults);
        EXPECT_EQ(settings.objectForKey(row.key), row.expected) << row.key << "=" << row.fileText;
    }
}

TEST(QtSettings, EachChangeIsAnnouncedWithItsKey) {
    QTemporaryDir folder;
    QtSettings settings(folder.path() + "/Numbera.conf");
    QSignalSpy spy(&settings, &QtSettings::valueChanged);
    settings.setObject("NBDefaultFont", std::u16string(u"Sans,18"));
    settings.removeObjectForKey("NBBaseCurrency");
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toString(), "NBDefaultFont");
    EXPECT_EQ(spy.at(1).at(0).toString(), "NBBaseCurrency");

    QObject context;
    int fontChanges = 0;
    settings.observe("NBDefaultFont", &context, [&] { ++fontChanges; });
    settings.setObject("NBDefaultFont", std::u16string(u"Sans,19"));
    settings.setObject("NBBaseCurrency", std::u16string(u"EUR"));
    settings.removeObjectForKey("NBDefaultFont");
    EXPECT_EQ(fontChanges, 2);
}

}  // namespace
