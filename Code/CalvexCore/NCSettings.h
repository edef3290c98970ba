// The calculation engine's process-wide switches; setting them starts the foundation, once.
#ifndef NUMBERA_CORE_NC_SETTINGS_H
#define NUMBERA_CORE_NC_SETTINGS_H

#include <memory>

class NCSettings : public std::enable_shared_from_this<NCSettings> {
  public:
    NCSettings() = default;

    // On unless turned off: the experimental unit factorings take energy, power, force,
    // voltage and resistance to mass, length, time and current, where a mass times an
    // acceleration meets the newton. The standard table keeps voltage and resistance as base
    // types; kilowatt hours, joules and newton metres meet there too.
    bool enableExperimentalUnitsMode() const { return m_enableExperimentalUnitsMode; }
    void setEnableExperimentalUnitsMode(bool on) { m_enableExperimentalUnitsMode = on; }

    static std::shared_ptr<NCSettings> current();
    static bool isSet();
    // Starts the foundation with these settings and keeps them as the current ones. A second
    // call is a programming error and stops the process.
    void set();

  private:
    bool m_enableExperimentalUnitsMode = true;
};

#endif
