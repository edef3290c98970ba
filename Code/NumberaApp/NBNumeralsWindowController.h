// The one application-wide window for the data that lives outside documents: a list of
// categories on the left ("Variables", "Stocks", "Currencies") chooses the panel on the right;
// a bottom bar carries the add button and the shown panel's own controls. The panels' edits go
// to the window's undo stack, a member of the application's undo group. The last panel shown
// is remembered in NBSelectedNumeralsPane.
#ifndef NUMBERA_APP_NB_NUMERALS_WINDOW_CONTROLLER_H
#define NUMBERA_APP_NB_NUMERALS_WINDOW_CONTROLLER_H

#include <QMainWindow>
#include <QString>
#include <vector>

class NBCurrenciesViewController;
class NBEnvironmentController;
class NBGreySectionView;
class NBNumbersViewController;
class NBStocksViewController;
class NBVariablesViewController;
class QAction;
class QListWidget;
class QSplitter;
class QStackedWidget;
class QToolButton;
class QUndoGroup;
class QUndoStack;

class NBNumeralsWindowController : public QMainWindow {
    Q_OBJECT

  public:
    static constexpr int kCategoryListMinimumWidth = 140;
    static constexpr int kPanelMinimumWidth = 423;
    static constexpr int kBottomBorderThickness = 32;
    static constexpr int kAccessoryRightInset = 7;

    struct Category {
        QString name;        // the localised key
        QString identifier;  // "NBConstantsPane"...
        QString image;
        NBNumbersViewController* viewController = nullptr;
    };

    // The undo group is the application's; the window's stack joins it. Neither is owned.
    NBNumeralsWindowController(NBEnvironmentController& environment, QUndoGroup* undoGroup,
                               QWidget* parent = nullptr);
    ~NBNumeralsWindowController() override;

    void showNumeralsWindow();
    // Asks every panel to reload its content from the environment.
    void reloadContent();
    void setActiveViewController(NBNumbersViewController* viewController);
    NBNumbersViewController* activeViewController() const { return m_activeViewController; }
    // Null when not found.
    NBNumbersViewController* viewControllerForIdentifier(const QString& identifier) const;
    QString identifierForViewController(const NBNumbersViewController* viewController) const;
    // Whether the delete command applies: only when the shown panel can remove.
    bool validateDelete() const;
    void deleteSelection();

    const std::vector<Category>& categoriesArray() const { return m_categories; }
    std::vector<NBNumbersViewController*> viewControllers() const;
    NBVariablesViewController* variablesViewController() const { return m_variables; }
    NBCurrenciesViewController* currenciesViewController() const { return m_currencies; }
    NBStocksViewController* stocksViewController() const { return m_stocks; }
    QListWidget* categoriesTableView() const { return m_categoriesTable; }
    QSplitter* splitView() const { return m_splitView; }
    QToolButton* addButton() const { return m_addButton; }
    QWidget* addButtonContainer() const { return m_addButtonContainer; }
    QUndoStack* undoStack() const { return m_undoStack; }
    bool windowIsLoaded() const { return m_windowIsLoaded; }

  protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void windowDidLoad();
    void categorySelectionChanged();
    void placeBottomBarControls();

    NBEnvironmentController& m_environment;
    QUndoGroup* m_undoGroup;
    QUndoStack* m_undoStack = nullptr;
    std::vector<Category> m_categories;
    NBVariablesViewController* m_variables = nullptr;
    NBStocksViewController* m_stocks = nullptr;
    NBCurrenciesViewController* m_currencies = nullptr;
    NBNumbersViewController* m_activeViewController = nullptr;
    QListWidget* m_categoriesTable = nullptr;
    QSplitter* m_splitView = nullptr;
    QStackedWidget* m_contentView = nullptr;
    NBGreySectionView* m_bottomBar = nullptr;
    QWidget* m_addButtonContainer = nullptr;
    QToolButton* m_addButton = nullptr;
    QAction* m_deleteAction = nullptr;
    bool m_windowIsLoaded = false;
    bool m_placementQueued = false;
};

#endif
