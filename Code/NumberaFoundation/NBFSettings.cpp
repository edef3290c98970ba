#include "NBFSettings.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "Diagnostics.h"
#include "NBFErrorLog.h"

const char* const NBFSettingAllowsVariableRedefinitions = "NBFSettingAllowsVariableRedefinitions";
const char* const NBFSettingUsesNewEvaluatorImpl = "NBFSettingUsesNewEvaluatorImpl";
const char* const NBFSettingEnableExperimentalUnits = "NBFSettingEnableExperimentalUnits";

namespace {
std::atomic<NBF::Settings*> s_current{nullptr};
}

namespace NBF {

Settings::Settings()
    : m_values{{NBFSettingAllowsVariableRedefinitions, false},
               {NBFSettingUsesNewEvaluatorImpl, true},
               {NBFSettingEnableExperimentalUnits, false}} {}

void Settings::set(const std::string& name, bool value) {
    auto found = m_values.find(name);
    if (found != m_values.end() && found->second != value)
        Diagnostics::writef(Diagnostics::Stream::output, "NBFSettings: %s -> %s", name.c_str(),
                            value ? "on" : "off");
    m_values[name] = value;
}

bool Settings::get(const std::string& name) const {
    auto found = m_values.find(name);
    return found != m_values.end() && found->second;
}

}  // namespace NBF

NBFSettingsRef NBFSettingsCreate() { return NBF::Settings::create(); }
void NBFSettingsRelease(NBFSettingsRef settings) { NBF::release(settings); }

void NBFSettingsSetBool(NBFSettingsRef settings, const char* name, bool value) {
    if (settings && name) settings->set(name, value);
}

void NBFSettingsSet(NBFSettingsRef settings) {
    if (!settings) return;
    if (s_current.load() != nullptr) {
        OX_logErr(true, "VerifyTrue", "s_current == __null", __func__, __FILE__, __LINE__,
                  "Can only set settings once per process");
        abort();
    }
    s_current.store(NBF::retain(settings));
}

bool NBFSettingsGetBool(const char* name) {
    NBF::Settings* current = s_current.load();
    return current && name && current->get(name);
}

bool NBFSettingsGetBoolOrDefault(const char* name) {
    if (!name) return false;
    if (NBF::Settings* current = s_current.load()) return current->get(name);
    static const NBF::Ref<NBF::Settings> s_defaults =
        NBF::Ref<NBF::Settings>::adopt(NBF::Settings::create());
    return s_defaults->get(name);
}
