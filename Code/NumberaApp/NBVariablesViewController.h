// The numerals window's panel of global variables: a table of their enabled flags, names and
// values, edited in place, with every change undoable through the window's undo stack and seen
// at once by the open documents (through the variables manager's notifications).
#ifndef NUMBERA_APP_NB_VARIABLES_VIEW_CONTROLLER_H
#define NUMBERA_APP_NB_VARIABLES_VIEW_CONTROLLER_H

#include <QVariant>
#include <memory>
#include <vector>

#include "NBNumbersViewController.h"
#include "NotificationCenter.h"

class NBEnvironmentController;
class NBVariablesTableModel;
class NCVariable;
class NKVariablesManager;
class QMessageBox;
struct NSError;

class NBVariablesViewController : public NBNumbersViewController {
    Q_OBJECT

  public:
    enum Column { EnabledColumn = 0, NameColumn = 1, ValueColumn = 2 };

    explicit NBVariablesViewController(NBEnvironmentController& environment,
                                       QWidget* parent = nullptr);
    ~NBVariablesViewController() override;

    void reloadContent() override;
    void reloadView() override;
    bool showsAddButton() const override { return true; }
    bool showsUpdateButton() const { return false; }
    bool canRemove() const override;
    QString modelTypeName() const override;
    void addAction() override;
    void removeAction() override;

    const std::vector<std::shared_ptr<NCVariable>>& variables() const { return m_variables; }
    void addVariables(const std::vector<std::shared_ptr<NCVariable>>& variables);
    void removeVariables(const std::vector<std::shared_ptr<NCVariable>>& variables);
    void setEnabled(bool enabled, const std::shared_ptr<NCVariable>& variable);
    // False, with an alert and nothing changed, for a name that fails validation.
    bool setName(const QString& name, const std::shared_ptr<NCVariable>& variable);
    // False, with an alert and the old value kept, for a value that does not evaluate.
    bool setValue(const QString& text, const std::shared_ptr<NCVariable>& variable);
    // Logs a name that is also a unit's; such names are allowed, so always false.
    bool variableNameWouldClashWithUnit(const QString& name, NSError* error) const;
    // An edit of a cell, as the table hands it over.
    void tableViewSetObjectValue(const QVariant& value, int column, int row);
    // The alert on screen; null when none is.
    QMessageBox* alert() const { return m_alert; }
    void setClickedRowForTesting(int row) { setClickedRow(row); }

  private:
    std::shared_ptr<NKVariablesManager> manager() const;
    void showAlert(const NSError& error);
    void selectVariable(const std::shared_ptr<NCVariable>& variable);

    NBEnvironmentController& m_environment;
    NBVariablesTableModel* m_model = nullptr;
    std::vector<std::shared_ptr<NCVariable>> m_variables;
    std::vector<NotificationObserver> m_observers;
    QMessageBox* m_alert = nullptr;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;

    friend class NBVariablesTableModel;
};

#endif
