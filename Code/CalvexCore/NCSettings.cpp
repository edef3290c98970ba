#include "NCSettings.h"

#include <mutex>

#include "NBFErrorLog.h"
#include "NBFSettings.h"
#include "NBFoundation.h"

namespace {

std::mutex s_settingsMutex;
std::shared_ptr<NCSettings> s_current;

}  // namespace

std::shared_ptr<NCSettings> NCSettings::current() {
    std::lock_guard<std::mutex> lock(s_settingsMutex);
    return s_current;
}

bool NCSettings::isSet() { return current() != nullptr; }

void NCSettings::set() {
    std::lock_guard<std::mutex> lock(s_settingsMutex);
    if (s_current) {
        OX_logErr(true, "VerifyTrue", "![[self class] isSet]", "-[NCSettings set]",
                  "Code/CalvexCore/NCSettings", __LINE__, "Can only set settings once");
        std::abort();
    }
    NBFSettingsRef settings = NBFSettingsCreate();
    NBFSettingsSetBool(settings, NBFSettingEnableExperimentalUnits, m_enableExperimentalUnitsMode);
    // A document's lines redefine their variables: each line must read the value declared for
    // its own index, not the last declaration's.
    NBFSettingsSetBool(settings, NBFSettingAllowsVariableRedefinitions, true);
    NBFoundationInit(settings);
    NBFSettingsRelease(settings);
    s_current = shared_from_this();
}
