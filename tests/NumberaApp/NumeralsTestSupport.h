// The numerals window opened in a launched application, with the environment's managers at
// hand and the data services pointed at a local server.
#ifndef NUMBERA_TESTS_NUMERALS_TEST_SUPPORT_H
#define NUMBERA_TESTS_NUMERALS_TEST_SUPPORT_H

#include <QApplication>
#include <QMessageBox>
#include <QToolButton>

#include "AppTestFixture.h"
#include "LocalWebServer.h"
#include "NBAppController.h"
#include "NBAppResources.h"
#include "NBEnvironmentController.h"
#include "NBGlobalActionController.h"
#include "NBNumeralsWindowController.h"
#include "NKCurrenciesManager.h"
#include "NKEnvironment.h"
#include "NKStocksManager.h"
#include "NKVariablesManager.h"
#include "NKWebServices.h"

class NumeralsTest : public AppTest {
  protected:
    NBNumeralsWindowController* openNumerals() {
        settings().setObject("NBShowWelcomeWindowOnLaunch", false);
        NBAppController& app = launch();
        // The first launch's own rate update ends (unconfigured, it fails at once) before the
        // tests start theirs.
        EXPECT_TRUE(pumpEventsUntil([this] { return !currencies()->isUpdating(); }));
        // Only the tests' own requests reach the server: the schedules would fire at once for
        // the bundled rates' old date and race them.
        currencies()->setAutomaticallyUpdatesValuesFromWeb(false);
        stocks()->setAutomaticallyDownloadsStockPrices(false);
        pumpEventsUntil([this] { return !currencies()->isUpdating(); });
        app.globalActions().showNumeralsWindow();
        NBNumeralsWindowController* window = app.globalActions().numeralsWindowController();
        window->resize(780, 460);
        pumpEventsFor(50);
        return window;
    }
    std::shared_ptr<NKEnvironment> environment() {
        return app()->environmentController()->environment();
    }
    std::shared_ptr<NKVariablesManager> variables() { return environment()->variablesManager(); }
    std::shared_ptr<NKCurrenciesManager> currencies() {
        return environment()->fullCurrenciesManager();
    }
    std::shared_ptr<NKStocksManager> stocks() { return environment()->fullStocksManager(); }

    void configureServices(double timeout = 2.0) {
        using C = NKWebServiceConfiguration;
        const std::u16string origin =
            NBAppResources::toU16(QString::fromStdString(m_server.origin()));
        settings().setObject(C::kQuotesAddressKey, origin);
        settings().setObject(C::kDataAddressKey, origin);
        settings().setObject(C::kBitcoinAddressKey, origin);
        settings().setObject(C::kTimeoutKey, timeout);
    }
    // The window-modal alert on screen, when there is one.
    static QMessageBox* visibleAlert() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) return box;
        return nullptr;
    }

    LocalWebServer m_server;
};

#endif
