// The foundation's boolean settings. The process holds one current set, made current once at
// start-up and only read afterwards.
#ifndef NUMBERA_FOUNDATION_NBF_SETTINGS_H
#define NUMBERA_FOUNDATION_NBF_SETTINGS_H

#include <map>
#include <string>

#include "NBFObject.h"

extern const char* const NBFSettingAllowsVariableRedefinitions;
extern const char* const NBFSettingUsesNewEvaluatorImpl;
extern const char* const NBFSettingEnableExperimentalUnits;

namespace NBF {

class Settings : public Object<Settings> {
  public:
    // Holds the three known settings with their defaults.
    static Settings* create() { return new Settings(); }
    // Changing a value writes "NBFSettings: <name> -> on|off" to standard output.
    void set(const std::string& name, bool value);
    // An unknown name reads as off.
    bool get(const std::string& name) const;

  private:
    Settings();
    std::map<std::string, bool> m_values;
};

}  // namespace NBF

typedef NBF::Settings* NBFSettingsRef;

NBFSettingsRef NBFSettingsCreate();
void NBFSettingsRelease(NBFSettingsRef settings);
void NBFSettingsSetBool(NBFSettingsRef settings, const char* name, bool value);
// Makes the settings the process's current ones (retained). Setting them a second time stops
// the process; null leaves them unset.
void NBFSettingsSet(NBFSettingsRef settings);
// The value in the current settings; off while none are set.
bool NBFSettingsGetBool(const char* name);
// The value in the current settings; while none are set, the value new settings hold (so code
// run before start-up, in tools and tests, behaves as configured by default).
bool NBFSettingsGetBoolOrDefault(const char* name);

#endif
