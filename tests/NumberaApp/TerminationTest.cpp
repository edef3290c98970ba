// Quitting saves what it must: the environment's data files into the data folder and the
// previewer's folder, and the identity of the application that quit.
#include <QFileInfo>

#include "AppTestFixture.h"
#include "NBAppController.h"
#include "NBEnvironmentController.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCVariable.h"
#include "NKEnvironment.h"
#include "NKVariablesManager.h"
#include "ProgramRunner.h"
#include "QtSettings.h"

namespace {

class Termination : public AppTest {};

TEST_F(Termination, QuitWithNoDocumentStoresTheCreatorVersionAndTheDataFiles) {
    NBAppController& app = launch();
    auto environment = app.environmentController()->environment();
    ASSERT_NE(environment, nullptr);
    auto variables = environment->variablesManager();
    ASSERT_NE(variables, nullptr);
    auto rent = NCVariable::variableWithName(u"rent");
    rent->setValue(u"1200");
    rent->setEnabled(true);
    ASSERT_TRUE(variables->addVariable(rent));
    quit();

    const auto creator = settings().dictionaryForKey("NBCreatorVersion");
    ASSERT_EQ(creator.count(u"CreatorVersion"), 1u);
    EXPECT_FALSE(creator.at(u"CreatorVersion").empty());
    EXPECT_EQ(creator.at(u"CreatorID"), NBAppController::kBundleIdentifier);
    EXPECT_EQ(creator.count(u"CreatorBuild"), 1u);
    // Also in the file itself, for the next launch.
    EXPECT_EQ(QtSettings(settingsFile()).dictionaryForKey("NBCreatorVersion"), creator);

    for (const QString& folder : {dataFolder(), dataFolder() + "/quicklook-data"})
        for (const char* file : {"Currencies.plist", "Stocks.plist", "Variables.plist"})
            EXPECT_TRUE(QFileInfo(folder + "/" + file).isFile())
                << (folder + "/" + file).toStdString();

    // The previewer builds its environment from the preview folder and knows the variable.
    auto document = std::make_shared<NCLineCollection>();
    document->addLine(NCLine::lineWithExpressionString(u"rent * 2"));
    const std::string documentPath = (root() + "/rent.numbera").toStdString();
    std::string reason;
    ASSERT_TRUE(document->archiveToPath(documentPath, {}, &reason)) << reason;
    const ProgramRun run = runProgram(
        NUMBERA_PREVIEW_PROGRAM, {"--format", "text", documentPath},
        {{"XDG_DATA_HOME", dataHome().toStdString()}, {"HOME", root().toStdString()}}, 120);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("rent * 2 = 2,400"), std::string::npos) << run.out;
}

}  // namespace
