// The user's global variables: named values (with an optional unit) that every document can
// use. Kept in the user's order, mirrored into the core variable list that the shared
// evaluator reads, announced by notification on every change, and stored as Variables.plist.
// The manager is the core list's delegate, so a variable edited directly (enabled, given a
// value, renamed) is announced like the manager's own edits.
#ifndef NUMBERA_SERVICES_NK_VARIABLES_MANAGER_H
#define NUMBERA_SERVICES_NK_VARIABLES_MANAGER_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NCPropertyListValue.h"
#include "NCSimpleLocale.h"
#include "NCUnitCollection.h"
#include "NCVariable.h"
#include "NCVariableList.h"
#include "NKPersistence.h"
#include "NSError.h"
#include "NotificationCenter.h"

class NKVariablesManager : public NCVariableListDelegate {
  public:
    // No centre means the default one.
    NKVariablesManager(std::shared_ptr<NCVariableList> variableList,
                       std::shared_ptr<NCUnitCollection> unitCollection,
                       NotificationCenter* center = nullptr);
    NKVariablesManager() : NKVariablesManager(nullptr, nullptr) {}
    // The list outlives the manager when others hold it: it must not call a manager gone.
    ~NKVariablesManager() override;
    // The list knows one manager by address.
    NKVariablesManager(const NKVariablesManager&) = delete;
    NKVariablesManager& operator=(const NKVariablesManager&) = delete;

    std::vector<std::shared_ptr<NCVariable>> variables() const { return m_variablesArray; }
    std::shared_ptr<NCVariableList> variableList() const { return m_variableList; }
    // The manager leaves the old list's delegate and becomes the new one's.
    void setVariableList(std::shared_ptr<NCVariableList> list);

    // k, M and G, without notifications.
    void loadDefaults();
    // False, changing nothing, when there is no file or it is not a dictionary (logged: the
    // file stays where it is until a save moves it aside).
    bool loadFromPath(const std::string& path);
    // Without version information nothing is written: a logged no-op.
    bool saveToPath(const std::string& path, const std::optional<NKVersionInfo>& versionInfo);
    // The loaded file when some of it could not be read (it is moved aside before a save
    // writes over it); none once it was.
    const std::optional<std::string>& partlyReadFile() const { return m_partlyRead.path(); }

    NCSimpleLocale locale() const { return m_variableLocale; }
    void setLocale(NCSimpleLocale locale);

    std::shared_ptr<NCVariable> variableNamed(const std::u16string& name) const;
    // False, logged, when the core list already holds the name.
    bool addVariable(const std::shared_ptr<NCVariable>& variable);
    void addVariableNamed(const std::u16string& name);
    // A new variable with a free default name; not added.
    std::shared_ptr<NCVariable> standardVariable() const;
    void moveVariable(const std::shared_ptr<NCVariable>& variable, uint64_t index);
    void deleteVariable(const std::shared_ptr<NCVariable>& variable);
    bool renameVariable(const std::shared_ptr<NCVariable>& variable, const std::u16string& name,
                        NSError* error);
    // The value is evaluated with the shared evaluator; what it evaluates to is stored.
    bool setValueOfVariable(const std::shared_ptr<NCVariable>& variable,
                            const std::u16string& value, NSError* error);

    // Told by the core list when one of its variables changed: NKVariableWasModified.
    void variableDidUpdateInVariableList(NCVariable* variable, NCVariableList* list) override;

    bool postsNotifications() const { return m_postsNotifications; }

    static std::shared_ptr<NCVariable> variableFromDictionaryRepresentation(
        const NCPropertyListValue& dictionary, const NCUnitCollection* units);

  private:
    bool coreListHoldsName(const std::u16string& name) const;
    void post(const char* name, const std::shared_ptr<NCVariable>& variable);
    void becomeDelegateOfVariableList();
    void leaveVariableList();

    std::vector<std::shared_ptr<NCVariable>> m_variablesArray;
    NCSimpleLocale m_variableLocale = kNCSimpleLocalDefault;
    bool m_postsNotifications = true;
    std::shared_ptr<NCUnitCollection> m_unitCollection;
    std::shared_ptr<NCVariableList> m_variableList;
    NotificationCenter* m_center;
    NKPartlyReadFile m_partlyRead;
};

#endif
