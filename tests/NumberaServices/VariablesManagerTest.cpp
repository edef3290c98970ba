#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "NCBuiltins.h"
#include "NKNotifications.h"
#include "NKVariablesManager.h"
#include "NSLocalizedString.h"
#include "ServicesTestSupport.h"

namespace {

const NKVersionInfo kVersionInfo = {
    {u"CreatorVersion", u"1.0"}, {u"CreatorID", u"test"}, {u"CreatorBuild", u"7"}};

std::vector<std::u16string> namesOf(const NKVariablesManager& manager) {
    std::vector<std::u16string> names;
    for (const auto& variable : manager.variables())
        names.push_back(variable->name().value_or(u""));
    return names;
}

// A Variables.plist written by hand, one entry per name.
std::string variablesFile(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
        "<key>NKVariables</key><array>";
    for (const auto& [name, value] : entries)
        text += "<dict><key>name</key><string>" + name + "</string><key>value</key><string>" +
                value +
                "</string><key>enabled</key><true/><key>type</key><integer>0</integer></dict>";
    return text + "</array></dict></plist>";
}

struct ManagerFixture {
    NotificationCenter center;
    std::vector<std::string> posted;
    std::shared_ptr<NKVariablesManager> manager = std::make_shared<NKVariablesManager>(
        NCBuiltins::variables(), NCUnitCollection::create(), &center);
    ManagerFixture() {
        center.addObserver("", nullptr, nullptr, [this](const NSNotification& n) {
            auto variable = n.objectAs<std::shared_ptr<NCVariable>>();
            posted.push_back(n.name +
                             (variable ? ":" + NKUTF8(variable->name().value_or(u"")) : ""));
        });
    }
};

TEST(VariablesManager, DefaultsAreKMAndGWithoutNotifications) {
    ManagerFixture f;
    f.manager->loadDefaults();
    EXPECT_EQ(namesOf(*f.manager), (std::vector<std::u16string>{u"k", u"M", u"G"}));
    const std::u16string values[] = {u"1000", u"1000000", u"1000000000"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(f.manager->variables()[i]->delocalizedValue(), values[i]);
        EXPECT_EQ(f.manager->variables()[i]->type(), 0);
        EXPECT_TRUE(f.manager->variables()[i]->enabled());
    }
    EXPECT_TRUE(f.posted.empty());
    EXPECT_TRUE(f.manager->postsNotifications());
    // The core list that the evaluator reads has them too.
    EXPECT_NE(f.manager->variableList()->variableWithName(u"M", false, false), nullptr);
}

TEST(VariablesManager, DuplicateStoredNamesKeepTheFirst) {
    struct Row {
        std::vector<std::pair<std::string, std::string>> stored;
        std::vector<std::u16string> expectedNames;
        std::vector<std::u16string> expectedValues;
        size_t expectedWarnings;
    };
    const Row rows[] = {
        {{{"rate", "5"}, {"rate", "6"}}, {u"rate"}, {u"5"}, 1},
        {{{"a", "1"}, {"b", "2"}, {"a", "3"}, {"b", "4"}, {"c", "5"}},
         {u"a", u"b", u"c"},
         {u"1", u"2", u"5"},
         2},
        {{{"x", "1"}, {"y", "2"}}, {u"x", u"y"}, {u"1", u"2"}, 0},
        {{}, {}, {}, 0},
    };
    for (const auto& row : rows) {
        ManagerFixture f;
        CapturedLog log;
        TemporaryFolder folder;
        folder.write("Variables.plist", variablesFile(row.stored));
        EXPECT_TRUE(f.manager->loadFromPath(folder.file("Variables.plist")));
        EXPECT_EQ(namesOf(*f.manager), row.expectedNames);
        std::vector<std::u16string> values;
        for (const auto& variable : f.manager->variables())
            values.push_back(variable->delocalizedValue().value_or(u""));
        EXPECT_EQ(values, row.expectedValues);
        size_t warnings = 0;
        for (const auto& line : log.lines())
            if (line.rfind("Trying to add variable ", 0) == 0 &&
                line.find(" when it already exits") != std::string::npos)
                ++warnings;
        EXPECT_EQ(warnings, row.expectedWarnings);
        EXPECT_TRUE(f.posted.empty()) << "loading posts nothing";
    }
}

// A file of many variables loads each of them, in order, into both lists.
TEST(VariablesManager, ALargeFileLoadsEveryVariableInOrder) {
    std::vector<std::pair<std::string, std::string>> stored;
    for (int i = 0; i < 20000; ++i) stored.emplace_back("v" + std::to_string(i), std::to_string(i));
    stored.emplace_back("v7", "again");
    TemporaryFolder folder;
    folder.write("Variables.plist", variablesFile(stored));
    auto list = std::make_shared<NCVariableList>();
    auto manager = std::make_shared<NKVariablesManager>(list, NCUnitCollection::create());
    CapturedLog log;
    ASSERT_TRUE(manager->loadFromPath(folder.file("Variables.plist")));
    const auto variables = manager->variables();
    ASSERT_EQ(variables.size(), 20000u);
    EXPECT_EQ(list->variables(), variables);
    for (size_t i = 0; i < variables.size(); i += 1999) {
        const std::u16string name = NKUTF16("v" + std::to_string(i));
        EXPECT_EQ(variables[i]->name(), name);
        EXPECT_EQ(list->variableWithName(name, false, false), variables[i]);
    }
    EXPECT_EQ(variables[7]->delocalizedValue(), u"7");
    EXPECT_TRUE(log.contains("Trying to add variable v7 when it already exits"));
}

TEST(VariablesManager, AddingAnExistingNameIsRefused) {
    ManagerFixture f;
    CapturedLog log;
    f.manager->loadDefaults();
    EXPECT_FALSE(f.manager->addVariable(NCVariable::variableWithName(u"k", u"5", 0, nullptr)));
    EXPECT_TRUE(log.contains(
        "Warning: Trying to add a new variable named k when one already exists under that name"));
    EXPECT_TRUE(f.manager->addVariable(NCVariable::variableWithName(u"rate", u"5", 0, nullptr)));
    f.manager->addVariableNamed(u"fresh");
    f.manager->addVariableNamed(u"fresh");  // already there: nothing
    EXPECT_EQ(namesOf(*f.manager),
              (std::vector<std::u16string>{u"k", u"M", u"G", u"rate", u"fresh"}));
    EXPECT_EQ(f.manager->variableNamed(u"fresh")->delocalizedValue(), u"1.0");
    EXPECT_EQ(f.posted,
              (std::vector<std::string>{"NKVariableWasAdded:rate", "NKVariableWasAdded:fresh"}));
}

TEST(VariablesManager, Renaming) {
    struct Row {
        std::u16string from, to;
        bool ok;
        std::u16string description, suggestion;
    };
    const Row rows[] = {
        {u"k", u"k", false, u"There is already a variable named 'k'.",
         u"Please give the variable a different name and try again."},
        {u"k", u"M", false, u"There is already a variable named 'M'.",
         u"Please give the variable a different name and try again."},
        {u"k", u"", false, u"Invalid name", u"Try renaming the variable to something else."},
        {u"k", u"two words", false, u"Invalid name",
         u"Try renaming the variable to something else."},
        {u"k", u"kilo", true, u"", u""},
    };
    for (const auto& row : rows) {
        ManagerFixture f;
        f.manager->loadDefaults();
        auto variable = f.manager->variableNamed(row.from);
        NSError error;
        EXPECT_EQ(f.manager->renameVariable(variable, row.to, &error), row.ok) << NKUTF8(row.to);
        EXPECT_EQ(error.localizedDescription, row.description);
        EXPECT_EQ(error.localizedRecoverySuggestion, row.suggestion);
        if (row.ok) {
            EXPECT_EQ(variable->name(), row.to);
            EXPECT_EQ(f.posted,
                      (std::vector<std::string>{"NKVariableWasModified:" + NKUTF8(row.to)}));
        } else {
            EXPECT_EQ(error.domain, NSCocoaErrorDomain);
            EXPECT_EQ(error.code, 2048);
            EXPECT_EQ(variable->name(), row.from);
            EXPECT_TRUE(f.posted.empty());
        }
    }
}

// Edits made on the variables themselves (the variables panel's) are announced like the
// manager's own, once each, so that they are saved.
TEST(VariablesManager, VariablesEditedDirectlyAreAnnounced) {
    struct Row {
        const char* what;
        std::function<void(NCVariable&)> edit;
        std::vector<std::string> posted;
    };
    const Row rows[] = {
        {"disable", [](NCVariable& v) { v.setEnabled(false); }, {"NKVariableWasModified:k"}},
        {"value", [](NCVariable& v) { v.setValue(u"5"); }, {"NKVariableWasModified:k"}},
        {"alias", [](NCVariable& v) { v.addAlias(u"kilo"); }, {"NKVariableWasModified:k"}},
        {"rename", [](NCVariable& v) { v.changeName(u"kilo"); }, {"NKVariableWasModified:kilo"}},
        {"same value", [](NCVariable& v) { v.setValue(u"1000"); }, {}},
        {"still enabled", [](NCVariable& v) { v.setEnabled(true); }, {}},
    };
    for (const auto& row : rows) {
        ManagerFixture f;
        f.manager->loadDefaults();
        auto variable = f.manager->variableNamed(u"k");
        variable->value();  // the shown text, as the panel reads it before an edit
        row.edit(*variable);
        EXPECT_EQ(f.posted, row.posted) << row.what;
    }
}

TEST(VariablesManager, VariablesPutStraightIntoTheCoreListAreAnnounced) {
    ManagerFixture f;
    // As the stocks manager adds its variables: into the core list, not through the manager.
    auto apple = NCVariable::variableWithName(u"apple", u"100", 0, nullptr);
    f.manager->variableList()->addVariable(apple);
    apple->setValue(u"120");
    EXPECT_EQ(f.posted, (std::vector<std::string>{"NKVariableWasModified:apple"}));
}

TEST(VariablesManager, TheCoreListNeverCallsAManagerGone) {
    NotificationCenter center;
    size_t posted = 0;
    center.addObserver(NKVariableWasModified, nullptr, nullptr,
                       [&](const NSNotification&) { ++posted; });
    auto first = NCBuiltins::variables();
    auto second = NCBuiltins::variables();
    auto x = NCVariable::variableWithName(u"x", u"1", 0, nullptr);
    auto y = NCVariable::variableWithName(u"y", u"1", 0, nullptr);
    first->addVariable(x);
    second->addVariable(y);
    {
        auto manager = std::make_shared<NKVariablesManager>(first, nullptr, &center);
        EXPECT_EQ(first->delegate(), manager.get());
        manager->setVariableList(second);
        EXPECT_EQ(first->delegate(), nullptr) << "the old list is left";
        EXPECT_EQ(second->delegate(), manager.get());
        x->setValue(u"2");
        EXPECT_EQ(posted, 0u);
        y->setValue(u"2");
        EXPECT_EQ(posted, 1u);

        // A manager that took the list over keeps it when the earlier one goes.
        auto earlier = std::make_shared<NKVariablesManager>(first, nullptr, &center);
        auto successor = std::make_shared<NKVariablesManager>(first, nullptr, &center);
        earlier.reset();
        EXPECT_EQ(first->delegate(), successor.get());
    }
    EXPECT_EQ(first->delegate(), nullptr);
    EXPECT_EQ(second->delegate(), nullptr);
    // The lists outlive their managers: edits now reach no one.
    x->setEnabled(false);
    y->setValue(u"3");
    EXPECT_EQ(posted, 1u);
}

TEST(VariablesManager, Moving) {
    struct Row {
        uint64_t index;
        std::vector<std::u16string> expected;
    };
    const Row rows[] = {
        {2, {u"M", u"G", u"k"}}, {3, {u"M", u"G", u"k"}}, {7, {u"M", u"G", u"k"}},
        {1, {u"M", u"k", u"G"}}, {0, {u"k", u"M", u"G"}},
    };
    for (const auto& row : rows) {
        ManagerFixture f;
        f.manager->loadDefaults();
        f.manager->moveVariable(f.manager->variableNamed(u"k"), row.index);
        EXPECT_EQ(namesOf(*f.manager), row.expected) << row.index;
        EXPECT_EQ(f.posted, (std::vector<std::string>{"NKVariableWasMoved:k"}));
    }
}

TEST(VariablesManager, DeletingTakesItOutOfBothLists) {
    ManagerFixture f;
    f.manager->loadDefaults();
    f.manager->deleteVariable(f.manager->variableNamed(u"M"));
    EXPECT_EQ(namesOf(*f.manager), (std::vector<std::u16string>{u"k", u"G"}));
    EXPECT_EQ(f.manager->variableList()->variableWithName(u"M", false, false), nullptr);
    EXPECT_EQ(f.posted, (std::vector<std::string>{"NKVariableWasRemoved:M"}));
}

TEST(VariablesManager, SavedFileReadsBack) {
    ManagerFixture f;
    TemporaryFolder folder;
    f.manager->loadDefaults();
    auto rate = NCVariable::variableWithName(u"rate", u"0.075", 0, nullptr);
    rate->setInfoDescription(u"tax");
    rate->setIdentifier(u"id-1");
    rate->setEnabled(false);
    rate->setType(1);
    ASSERT_TRUE(f.manager->addVariable(rate));
    const std::string path = folder.file("Variables.plist");
    ASSERT_TRUE(f.manager->saveToPath(path, kVersionInfo));
    const std::string text = folder.read("Variables.plist");
    EXPECT_NE(text.find("<key>CreatorBuild</key>"), std::string::npos);
    EXPECT_NE(text.find("<string>0.075</string>"), std::string::npos);

    ManagerFixture g;
    ASSERT_TRUE(g.manager->loadFromPath(path));
    EXPECT_EQ(namesOf(*g.manager), (std::vector<std::u16string>{u"k", u"M", u"G", u"rate"}));
    auto back = g.manager->variableNamed(u"rate");
    EXPECT_EQ(back->delocalizedValue(), u"0.075");
    EXPECT_EQ(back->infoDescription(), u"tax");
    EXPECT_EQ(back->identifier(), u"id-1");
    EXPECT_FALSE(back->enabled());
    EXPECT_EQ(back->type(), 1);
}

TEST(VariablesManager, SaveWithoutVersionInformationWritesNothing) {
    ManagerFixture f;
    CapturedLog log;
    TemporaryFolder folder;
    f.manager->loadDefaults();
    EXPECT_FALSE(f.manager->saveToPath(folder.file("Variables.plist"), std::nullopt));
    EXPECT_FALSE(f.manager->saveToPath("", kVersionInfo));
    EXPECT_FALSE(folder.exists("Variables.plist"));
    EXPECT_TRUE(log.contains("Not saving variables without version information"));
    EXPECT_FALSE(
        f.manager->saveToPath(folder.file("missing-folder/Variables.plist"), kVersionInfo));
    EXPECT_TRUE(log.contains("Warning: Could not save variables datasource to file"));
}

TEST(VariablesManager, UnreadableFileIsNotLoadedAndIsMovedAsideOnSave) {
    ManagerFixture f;
    TemporaryFolder folder;
    const std::string damaged = "<?xml version=\"1.0\"?><plist><dict><key>NKVar";
    folder.write("Variables.plist", damaged);
    EXPECT_FALSE(f.manager->loadFromPath(folder.file("Variables.plist")));
    EXPECT_TRUE(f.manager->variables().empty());
    EXPECT_FALSE(f.manager->loadFromPath(folder.file("absent.plist")));
    f.manager->addVariableNamed(u"x");
    ASSERT_TRUE(f.manager->saveToPath(folder.file("Variables.plist"), kVersionInfo));
    EXPECT_EQ(folder.read("Variables.plist.unreadable"), damaged);
    ManagerFixture g;
    EXPECT_TRUE(g.manager->loadFromPath(folder.file("Variables.plist")));
    EXPECT_EQ(namesOf(*g.manager), (std::vector<std::u16string>{u"x"}));
}

TEST(VariablesManager, UnknownUnitIdentifierLoadsWithoutUnit) {
    ManagerFixture f;
    TemporaryFolder folder;
    folder.write("Variables.plist",
                 "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>NKVariables</key><array>"
                 "<dict><key>name</key><string>d</string><key>value</key><string>3</string>"
                 "<key>unitIdentifier</key><string>no-such-unit</string></dict>"
                 "<dict><key>value</key><string>4</string></dict>"   // no name: skipped
                 "<dict><key>name</key><integer>5</integer></dict>"  // wrong type: skipped
                 "</array></dict></plist>");
    ASSERT_TRUE(f.manager->loadFromPath(folder.file("Variables.plist")));
    ASSERT_EQ(namesOf(*f.manager), (std::vector<std::u16string>{u"d"}));
    EXPECT_EQ(f.manager->variables()[0]->unit(), nullptr);
    EXPECT_EQ(f.manager->variables()[0]->delocalizedValue(), u"3");
}

TEST(VariablesManager, StandardVariableTakesAFreeName) {
    ManagerFixture f;
    const std::u16string base = NSLocalizedString(u"Default Variable Name");
    EXPECT_EQ(f.manager->standardVariable()->name(), base);
    f.manager->addVariableNamed(base);
    f.manager->addVariableNamed(base + u"1");
    auto fresh = f.manager->standardVariable();
    EXPECT_EQ(fresh->name(), base + u"2");
    EXPECT_EQ(fresh->delocalizedValue(), u"1.0");
    EXPECT_EQ(f.manager->variableNamed(base + u"2"), nullptr) << "not added";
}

TEST(VariablesManager, LocaleChangeIsAnnounced) {
    ManagerFixture f;
    f.manager->setLocale(kNCSimpleLocalDefault);  // same: nothing
    f.manager->setLocale(NCSimpleLocale{u',', u'.'});
    EXPECT_EQ(f.posted, (std::vector<std::string>{"NKVariablesLocaleChanged"}));
    EXPECT_EQ(f.manager->locale(), (NCSimpleLocale{u',', u'.'}));
}

}  // namespace
