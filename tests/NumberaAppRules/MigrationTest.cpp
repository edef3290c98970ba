#include "AppRulesTestSupport.h"
#include "CoreTestSupport.h"
#include "NBUserDefaultsController.h"
#include "NCEvaluator.h"
#include "NCVariable.h"
#include "NCVariableList.h"
#include "NCWordOperatorList.h"
#include "NKVariablesManager.h"
#include "PlatformTestSupport.h"

namespace {

using Controller = NBUserDefaultsController;

std::string firstGeneration(const std::string& version, const std::string& extra = "") {
    return "<plist version=\"1.0\"><dict><key>NumberaVersion</key>" + version +
           "<key>SaveDialogueBoxEnabled</key><true/>"
           "<key>AutoPreviousLine</key><true/>"
           "<key>DisplayLineNumberViewOnLaunch</key><string>YES</string>"
           "<key>SpacesForOperators</key><false/>" +
           extra + "</dict></plist>";
}

class Migration : public SettingsTest {
  protected:
    void SetUp() override {
        SettingsTest::SetUp();
        initFoundationConstants();
        Controller::registerDefaults({{NBSuppressSaveAlert, false},
                                      {NBAddTokenToNewLine, false},
                                      {NBNumberLineVisible, false},
                                      {NBAddSpacesAroundOperators, false}});
        m_evaluator =
            std::make_shared<NCEvaluator>(nullptr, NCVariableList::listWithStandardVariables(),
                                          NCWordOperatorList::listWithStandardWordOperators());
        m_variables =
            std::make_shared<NKVariablesManager>(std::make_shared<NCVariableList>(), nullptr);
    }
    void migrate() {
        Controller::migratePreferences(m_folder.file("com.orvantix.numbera.plist"),
                                       m_folder.file("com.orvantix.numbera2.plist"),
                                       m_variables.get(), m_evaluator.get());
    }
    bool anySwitchMigrated() const {
        return Controller::suppressesSaveDocumentAlert() ||
               Controller::boolForKey(NBAddTokenToNewLine) || Controller::lineNumbersVisible();
    }
    TemporaryFolder m_folder;
    std::shared_ptr<NCEvaluator> m_evaluator;
    std::shared_ptr<NKVariablesManager> m_variables;
};

class MigratedVersions : public Migration, public ::testing::WithParamInterface<const char*> {};

TEST_P(MigratedVersions, CopyTheTrueSwitchesOnly) {
    m_folder.write("com.orvantix.numbera.plist", firstGeneration(GetParam()));
    migrate();
    EXPECT_TRUE(Controller::suppressesSaveDocumentAlert());
    EXPECT_TRUE(Controller::boolForKey(NBAddTokenToNewLine));
    EXPECT_TRUE(Controller::lineNumbersVisible());
    EXPECT_FALSE(Controller::boolForKey(NBAddSpacesAroundOperators));
    // A false switch is not written at all: the registered default keeps answering.
    EXPECT_EQ(Settings::standard()->objectForKey(NBAddSpacesAroundOperators), SettingsValue(false));
    EXPECT_TRUE(m_folder.exists("com.orvantix.numbera.plist"));
}

INSTANTIATE_TEST_SUITE_P(Versions, MigratedVersions,
                         ::testing::Values("<integer>141</integer>", "<integer>149</integer>",
                                           "<string>145</string>", "<real>147.0</real>"));

class IgnoredVersions : public Migration, public ::testing::WithParamInterface<const char*> {};

TEST_P(IgnoredVersions, MigrateNothing) {
    m_folder.write("com.orvantix.numbera.plist",
                   firstGeneration(GetParam(),
                                   "<key>CustomConstants</key><array><dict>"
                                   "<key>name</key><string>rate</string>"
                                   "<key>value</key><string>2</string>"
                                   "</dict></array>"));
    migrate();
    EXPECT_FALSE(anySwitchMigrated());
    EXPECT_EQ(m_variables->variableNamed(u"rate"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Versions, IgnoredVersions,
                         ::testing::Values("<integer>140</integer>", "<integer>150</integer>",
                                           "<string>new</string>", "<true/>", "<array/>"));

TEST_F(Migration, AFileWithoutVersionOrNotADictionaryIsSkipped) {
    m_folder.write("com.orvantix.numbera.plist",
                   "<plist version=\"1.0\"><array><integer>141</integer></array></plist>");
    migrate();
    EXPECT_FALSE(anySwitchMigrated());
    m_folder.write("com.orvantix.numbera.plist", "garbage");
    migrate();
    EXPECT_FALSE(anySwitchMigrated());
}

TEST_F(Migration, CustomConstantsBecomeGlobalVariablesWithTheirAnswers) {
    m_folder.write("com.orvantix.numbera.plist",
                   firstGeneration("<integer>145</integer>",
                                   "<key>CustomConstants</key><array>"
                                   "<dict><key>name</key><string>rate</string>"
                                   "<key>value</key><string>3*4</string></dict>"
                                   "<dict><key>name</key><string>broken</string>"
                                   "<key>value</key><string>*</string></dict>"
                                   "<dict><key>name</key><string>half</string></dict>"
                                   "<string>not a constant</string>"
                                   "<dict><key>name</key><string>third</string>"
                                   "<key>value</key><string>1/8</string></dict>"
                                   "</array>"));
    CapturedDiagnostics diagnostics;
    migrate();
    const auto rate = m_variables->variableNamed(u"rate");
    ASSERT_NE(rate, nullptr);
    EXPECT_EQ(rate->value(), u"12");
    EXPECT_TRUE(rate->enabled());
    EXPECT_EQ(rate->type(), 0);
    const auto third = m_variables->variableNamed(u"third");
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->value(), u"0.125");
    EXPECT_EQ(m_variables->variableNamed(u"broken"), nullptr);
    EXPECT_EQ(m_variables->variableNamed(u"half"), nullptr);
    EXPECT_TRUE(diagnostics.contains("\"broken\""));
}

TEST_F(Migration, TheSecondGenerationIsCopiedWholeThenDeleted) {
    m_folder.write("com.orvantix.numbera2.plist",
                   "<plist version=\"1.0\"><dict>"
                   "<key>NBNumberLineVisible</key><true/>"
                   "<key>NBBaseCurrency</key><string>CHF</string>"
                   "<key>SomethingOld</key><integer>4</integer>"
                   "</dict></plist>");
    migrate();
    EXPECT_TRUE(Controller::lineNumbersVisible());
    EXPECT_EQ(Controller::baseCurrencyCode(), u"CHF");
    EXPECT_EQ(Settings::standard()->objectForKey("SomethingOld"), SettingsValue(int64_t{4}));
    EXPECT_FALSE(m_folder.exists("com.orvantix.numbera2.plist"));
}

TEST_F(Migration, TheSecondGenerationStaysWhenTheSettingsCannotBeSaved) {
    auto settings = std::make_shared<TextSettings>();
    settings->setSynchronizes(false);
    install(settings);
    m_folder.write("com.orvantix.numbera2.plist",
                   "<plist version=\"1.0\"><dict><key>NBNumberLineVisible</key><true/>"
                   "</dict></plist>");
    CapturedDiagnostics diagnostics;
    migrate();
    EXPECT_TRUE(m_folder.exists("com.orvantix.numbera2.plist"));
    EXPECT_TRUE(diagnostics.contains("is kept"));
}

TEST_F(Migration, AnUnreadableSecondGenerationIsLeftAlone) {
    m_folder.write("com.orvantix.numbera2.plist", "not a list");
    migrate();
    EXPECT_TRUE(m_folder.exists("com.orvantix.numbera2.plist"));
    EXPECT_FALSE(anySwitchMigrated());
}

TEST_F(Migration, MissingFilesChangeNothing) {
    migrate();
    EXPECT_FALSE(anySwitchMigrated());
    EXPECT_TRUE(m_variables->variables().empty());
}

}  // namespace
