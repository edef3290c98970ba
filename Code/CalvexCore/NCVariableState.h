// What a variable looked like before its last rename, so that observers can tell which name
// went away.
#ifndef NUMBERA_CORE_NC_VARIABLE_STATE_H
#define NUMBERA_CORE_NC_VARIABLE_STATE_H

#include <optional>
#include <string>

class NCVariable;

class NCVariableState {
  public:
    void updateWithVariable(const NCVariable& variable);
    void clear() { m_name.reset(); }
    const std::optional<std::u16string>& name() const { return m_name; }

  private:
    std::optional<std::u16string> m_name;
};

#endif
