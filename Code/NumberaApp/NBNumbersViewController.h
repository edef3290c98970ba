// The base of the numerals window's panels: what the window may ask of the panel it shows —
// its content, its table, the add button and the bottom bar's accessory, removal and undo.
#ifndef NUMBERA_APP_NB_NUMBERS_VIEW_CONTROLLER_H
#define NUMBERA_APP_NB_NUMBERS_VIEW_CONTROLLER_H

#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QUndoStack;

class NBNumbersViewController : public QWidget {
    Q_OBJECT

  public:
    explicit NBNumbersViewController(QWidget* parent = nullptr) : QWidget(parent) {}

    // Refills the panel's model from the environment.
    virtual void reloadContent() {}
    // Redisplays; the base redraws the table.
    virtual void reloadView();
    virtual bool showsAddButton() const { return false; }
    // Whether removing applies now.
    virtual bool canRemove() const { return false; }
    // The word for one item, used in the add button's tool tip.
    virtual QString modelTypeName() const { return {}; }
    virtual void viewWillAppear() {}
    virtual void viewDidAppear() {}
    // A widget for the bottom bar; null for none. Owned by the panel.
    virtual QWidget* accessoryView() { return nullptr; }
    virtual void addAction() {}
    virtual void removeAction() {}

    // The stack the panel's edits go to; none until the window gives one.
    QUndoStack* undoManager() const { return m_undoStack; }
    void setUndoManager(QUndoStack* stack) { m_undoStack = stack; }
    bool isActive() const { return m_active; }
    void setActive(bool active) { m_active = active; }
    QTableView* tableView() const { return m_tableView; }

  protected:
    // The bottom bar's accessory of a panel whose data comes from a web service: a progress
    // bar, a status text and the update button, hidden until the window shows it.
    struct UpdateAccessory {
        QWidget* view = nullptr;
        QProgressBar* progressIndicator = nullptr;
        QLabel* statusField = nullptr;
        QPushButton* updateButton = nullptr;
    };
    UpdateAccessory makeUpdateAccessory(const QString& objectName, const QString& buttonTitle);

    // A right-click on the table keeps its selection: the context menu acts on the selection
    // and the clicked row together.
    void setTableView(QTableView* table);
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The rows the user chose: the selection, plus the row under a context click when it is not
    // selected.
    QList<int> rowsToRemove() const;
    // The row a context click landed on; -1 when none.
    int clickedRow() const { return m_clickedRow; }
    void setClickedRow(int row) { m_clickedRow = row; }

  private:
    QTableView* m_tableView = nullptr;
    QUndoStack* m_undoStack = nullptr;
    bool m_active = false;
    int m_clickedRow = -1;
};

#endif
