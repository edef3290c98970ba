// The MathKey pane of the preferences: the keystroke-replacement list in a table (enabled,
// key combination, replacement text), a switch for the whole feature, and buttons to add and
// remove entries. The key column shows each combination as a token and records a new one
// with the key field editor. Every edit is saved at once.
#ifndef NUMBERA_APP_NB_MATH_KEY_PREFERENCES_PANE_H
#define NUMBERA_APP_NB_MATH_KEY_PREFERENCES_PANE_H

#include <QStyledItemDelegate>
#include <QWidget>

class NBMathKeyController;
class QCheckBox;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

// Draws a combination as a token and edits it with the recording field editor.
class NBMathKeyCell : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  signals:
    // The combination recorded for the row.
    void fieldEditorFinishedWithEvent(int row) const;
};

class NBMathKeyPreferencesPane : public QWidget {
    Q_OBJECT

  public:
    explicit NBMathKeyPreferencesPane(QWidget* parent = nullptr);
    // The shared controller unless another is given (tests); not owned.
    void setController(NBMathKeyController* controller);
    NBMathKeyController& controller() const;
    QTableWidget* tableView() const { return m_table; }
    void reloadData();

  private:
    void itemChanged(QTableWidgetItem* item);
    void addReplacement();
    void removeReplacement();
    void save();

    NBMathKeyController* m_controller = nullptr;
    QTableWidget* m_table = nullptr;
    QCheckBox* m_enabled = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    bool m_reloading = false;
};

#endif
