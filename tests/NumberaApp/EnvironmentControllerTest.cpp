// The application's environment: loaded in the background, completed once whoever asks
// first, told of the user's number signs when they change.
#include "AppTestFixture.h"
#include "NBEnvironmentController.h"
#include "NKEnvironment.h"
#include "NotificationCenter.h"

namespace {

struct CountingDelegate : NBEnvironmentControllerDelegate {
    int willLoad = 0;
    int didLoad = 0;
    bool unitsWereThereBeforeTheLoad = false;
    void environmentControllerWillLoadEnvironment(NBEnvironmentController&,
                                                  NKEnvironment& environment) override {
        ++willLoad;
        unitsWereThereBeforeTheLoad = environment.unitsManager() != nullptr;
    }
    void environmentControllerDidLoadEnvironment(NBEnvironmentController&,
                                                 NKEnvironment& environment) override {
        ++didLoad;
        EXPECT_TRUE(environment.bundleLoaded());
    }
};

class EnvironmentController : public AppTest {};

TEST_F(EnvironmentController, ADocumentAskingFirstCompletesTheLoadAndTheCallbackDoesNothing) {
    CountingDelegate delegate;
    NBEnvironmentController controller(resourcesFolder().toStdString(), dataFolder().toStdString());
    controller.setDelegate(&delegate);
    controller.loadEnvironment();
    EXPECT_EQ(delegate.willLoad, 1);
    EXPECT_TRUE(delegate.unitsWereThereBeforeTheLoad);
    EXPECT_EQ(NKEnvironment::sharedEnvironment(), controller.environment());
    // A document needs the environment before the load's main-queue callback has run.
    controller.completeLoading();
    EXPECT_TRUE(controller.isLoaded());
    EXPECT_EQ(delegate.didLoad, 1);
    EXPECT_NE(controller.environment()->fullCurrenciesManager(), nullptr);
    pumpEventsFor(200);
    EXPECT_EQ(delegate.didLoad, 1);
    controller.completeLoading();
    EXPECT_EQ(delegate.didLoad, 1);
}

TEST_F(EnvironmentController, TheLoadCallbackCompletesTheLoadWhenNoDocumentAsked) {
    CountingDelegate delegate;
    NBEnvironmentController controller(resourcesFolder().toStdString(), dataFolder().toStdString());
    controller.setDelegate(&delegate);
    controller.loadEnvironment();
    ASSERT_TRUE(pumpEventsUntil([&] { return controller.isLoaded(); }));
    EXPECT_EQ(delegate.didLoad, 1);
}

TEST_F(EnvironmentController, ChangedNumberSignsReachTheEnvironment) {
    NBEnvironmentController controller(resourcesFolder().toStdString(), dataFolder().toStdString());
    controller.loadEnvironment();
    controller.completeLoading();
    int refreshed = 0;
    controller.setRefreshHandler([&] { ++refreshed; });
    settings().setObject("NBDecimalPointSign", std::u16string(u","));
    settings().setObject("NBThousandsSeperatorSign", std::u16string(u"."));
    NotificationCenter::defaultCenter().post(NBSimpleLocaleChanged);
    ASSERT_TRUE(pumpEventsUntil([&] { return refreshed == 1; }));
    const NCSimpleLocale locale = controller.environment()->locale();
    EXPECT_EQ(locale.decimalPointChar, u',');
    EXPECT_EQ(locale.groupingChar, u'.');
}

}  // namespace
