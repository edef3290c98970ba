#include "NBNumeralsWindowController.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolButton>
#include <QUndoGroup>
#include <QUndoStack>
#include <QVBoxLayout>
#include <cmath>

#include "Diagnostics.h"
#include "NBAppResources.h"
#include "NBCurrenciesViewController.h"
#include "NBGreySectionView.h"
#include "NBStocksViewController.h"
#include "NBUserDefaultsController.h"
#include "NBUserDefaultsKeys.h"
#include "NBVariablesViewController.h"
#include "NSLocalizedString.h"

namespace {

QString localized(const QString& key) {
    return NBAppResources::toQString(NSLocalizedString(NBAppResources::toU16(key)));
}

const int kIdentifierRole = Qt::UserRole + 1;

// The category list keeps its width as the window changes size and the panel side takes the
// rest; only when that rest would be under the panel's minimum does the list give way.
class NBSplitView : public QSplitter {
  public:
    using QSplitter::QSplitter;

  protected:
    void resizeEvent(QResizeEvent* event) override {
        const QList<int> before = sizes();
        QSplitter::resizeEvent(event);
        if (count() != 2 || before.size() != 2 || before[0] <= 0) return;
        const int total = width() - handleWidth();
        int list = before[0];
        if (total - list < NBNumeralsWindowController::kPanelMinimumWidth)
            list = std::max(total - NBNumeralsWindowController::kPanelMinimumWidth,
                            NBNumeralsWindowController::kCategoryListMinimumWidth);
        setSizes({list, total - list});
    }
};

}  // namespace

NBNumeralsWindowController::NBNumeralsWindowController(NBEnvironmentController& environment,
                                                       QUndoGroup* undoGroup, QWidget* parent)
    : QMainWindow(parent), m_environment(environment), m_undoGroup(undoGroup) {
    setObjectName(QStringLiteral("numeralsWindow"));
    setWindowTitle(localized(QStringLiteral("Numbers")));
    m_undoStack = new QUndoStack(this);
    if (m_undoGroup) m_undoGroup->addStack(m_undoStack);
    windowDidLoad();
    // Undo and redo show their outcome at once, before the managers' notifications arrive.
    connect(m_undoStack, &QUndoStack::indexChanged, this, [this] {
        if (m_activeViewController) {
            m_activeViewController->reloadContent();
            m_activeViewController->reloadView();
        }
    });
}

NBNumeralsWindowController::~NBNumeralsWindowController() {
    if (m_undoGroup) m_undoGroup->removeStack(m_undoStack);
    // The stack goes with the window's children, after this part of the window is gone: its
    // last signals must not reach it.
    m_undoStack->disconnect(this);
}

void NBNumeralsWindowController::windowDidLoad() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_splitView = new NBSplitView(Qt::Horizontal, central);
    m_splitView->setObjectName(QStringLiteral("numeralsSplitView"));
    m_splitView->setChildrenCollapsible(false);
    m_categoriesTable = new QListWidget(m_splitView);
    m_categoriesTable->setObjectName(QStringLiteral("categoriesTable"));
    m_categoriesTable->setSpacing(1);
    m_categoriesTable->setMinimumWidth(kCategoryListMinimumWidth);
    m_categoriesTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_contentView = new QStackedWidget(m_splitView);
    m_contentView->setObjectName(QStringLiteral("numeralsContentView"));
    m_contentView->setMinimumWidth(kPanelMinimumWidth);
    m_splitView->addWidget(m_categoriesTable);
    m_splitView->addWidget(m_contentView);
    // The list keeps its width; the panel side takes what is left, down to its minimum, and
    // then the list gives way.
    m_splitView->setStretchFactor(0, 0);
    m_splitView->setStretchFactor(1, 1);
    m_splitView->setSizes({170, 560});
    layout->addWidget(m_splitView, 1);

    m_bottomBar = new NBGreySectionView(central);
    m_bottomBar->setObjectName(QStringLiteral("numeralsBottomBar"));
    m_bottomBar->setFixedHeight(kBottomBorderThickness);
    m_addButtonContainer = new QWidget(m_bottomBar);
    m_addButtonContainer->setObjectName(QStringLiteral("addButtonContainer"));
    auto* addLayout = new QHBoxLayout(m_addButtonContainer);
    addLayout->setContentsMargins(4, 0, 0, 0);
    m_addButton = new QToolButton(m_addButtonContainer);
    m_addButton->setObjectName(QStringLiteral("addButton"));
    m_addButton->setText(QStringLiteral("+"));
    m_addButton->setAutoRaise(true);
    m_addButton->setFixedSize(24, 22);
    addLayout->addWidget(m_addButton);
    m_addButtonContainer->resize(32, kBottomBorderThickness);
    connect(m_addButton, &QToolButton::clicked, this, [this] {
        if (m_activeViewController && m_activeViewController->showsAddButton())
            m_activeViewController->addAction();
    });
    layout->addWidget(m_bottomBar);
    setCentralWidget(central);
    m_splitView->installEventFilter(this);
    // The panel side settles after the split view's own resize: the add button follows it.
    m_contentView->installEventFilter(this);
    connect(m_splitView, &QSplitter::splitterMoved, this, [this] { placeBottomBarControls(); });

    m_variables = new NBVariablesViewController(m_environment, m_contentView);
    m_stocks = new NBStocksViewController(m_environment, m_contentView);
    m_currencies = new NBCurrenciesViewController(m_environment, m_contentView);
    m_categories = {
        {QStringLiteral("Variables"), QStringLiteral("NBConstantsPane"),
         QStringLiteral("Numerals_Constants"), m_variables},
        {QStringLiteral("Stocks"), QStringLiteral("NBStocksPane"),
         QStringLiteral("Numerals_Stocks (gold)"), m_stocks},
        {QStringLiteral("Currencies"), QStringLiteral("NBCurrenciesPane"),
         QStringLiteral("Numerals_Currencies"), m_currencies},
    };
    for (const Category& category : m_categories) {
        // An accessory whose controls come and go (the update button once there is a stock)
        // takes its new size in the bar at once.
        if (QWidget* accessory = category.viewController->accessoryView())
            accessory->installEventFilter(this);
        category.viewController->setUndoManager(m_undoStack);
        m_contentView->addWidget(category.viewController);
        auto* item = new QListWidgetItem(localized(category.name), m_categoriesTable);
        item->setData(kIdentifierRole, category.identifier);
        item->setSizeHint(QSize(kCategoryListMinimumWidth / 2, 26));
    }
    connect(m_categoriesTable, &QListWidget::currentRowChanged, this,
            [this](int) { categorySelectionChanged(); });

    m_deleteAction = new QAction(localized(QStringLiteral("Delete")), this);
    m_deleteAction->setObjectName(QStringLiteral("delete:"));
    m_deleteAction->setShortcuts({QKeySequence::Delete, QKeySequence(Qt::Key_Backspace)});
    m_deleteAction->setShortcutContext(Qt::WindowShortcut);
    connect(m_deleteAction, &QAction::triggered, this, [this] { deleteSelection(); });
    addAction(m_deleteAction);

    const auto stored = NBUserDefaultsController::stringForKey(NBSelectedNumeralsPane);
    NBNumbersViewController* chosen =
        stored ? viewControllerForIdentifier(NBAppResources::toQString(*stored)) : nullptr;
    if (!chosen) {
        Diagnostics::error("Bug: No Numerals View Controller Selected");
        chosen = m_variables;
    }
    setActiveViewController(chosen);
    resize(kCategoryListMinimumWidth + kPanelMinimumWidth + 200, 420);
    setMinimumWidth(kCategoryListMinimumWidth + kPanelMinimumWidth + m_splitView->handleWidth());
    m_windowIsLoaded = true;
}

std::vector<NBNumbersViewController*> NBNumeralsWindowController::viewControllers() const {
    return {m_variables, m_stocks, m_currencies};
}

void NBNumeralsWindowController::showNumeralsWindow() {
    show();
    raise();
    activateWindow();
    if (m_undoGroup) m_undoGroup->setActiveStack(m_undoStack);
}

void NBNumeralsWindowController::reloadContent() {
    if (!m_windowIsLoaded) {
        Diagnostics::error(
            "Warning: Being told to reload content before the window isa ctually loaded");
        return;
    }
    if (m_categories.empty()) {
        Diagnostics::error("No view controllers");
        return;
    }
    // The content only: a panel's view keeps what it shows of an update still under way.
    for (NBNumbersViewController* panel : viewControllers()) panel->reloadContent();
}

NBNumbersViewController* NBNumeralsWindowController::viewControllerForIdentifier(
    const QString& identifier) const {
    for (const Category& category : m_categories)
        if (category.identifier == identifier) return category.viewController;
    return nullptr;
}

QString NBNumeralsWindowController::identifierForViewController(
    const NBNumbersViewController* viewController) const {
    for (const Category& category : m_categories)
        if (category.viewController == viewController) return category.identifier;
    return {};
}

void NBNumeralsWindowController::setActiveViewController(NBNumbersViewController* panel) {
    if (!panel) return;
    if (panel != m_activeViewController) {
        if (m_activeViewController) {
            m_activeViewController->setActive(false);
            if (QWidget* accessory = m_activeViewController->accessoryView();
                accessory && accessory->parentWidget() == m_bottomBar) {
                accessory->hide();
                accessory->setParent(m_activeViewController);
            }
        }
        m_activeViewController = panel;
        NBUserDefaultsController::setValueForKey(
            NBSelectedNumeralsPane, NBAppResources::toU16(identifierForViewController(panel)));
    }
    panel->viewWillAppear();
    m_contentView->setCurrentWidget(panel);
    // The list follows a switch made in code.
    for (int row = 0; row < m_categoriesTable->count(); ++row) {
        if (m_categoriesTable->item(row)->data(kIdentifierRole).toString() ==
                identifierForViewController(panel) &&
            m_categoriesTable->currentRow() != row) {
            const QSignalBlocker blocker(m_categoriesTable);
            m_categoriesTable->setCurrentRow(row);
        }
    }
    if (panel->showsAddButton())
        m_addButton->setToolTip(localized(QStringLiteral("Add new %@"))
                                    .replace(QStringLiteral("%@"), panel->modelTypeName()));
    if (QWidget* accessory = panel->accessoryView()) {
        accessory->setParent(m_bottomBar);
        accessory->show();
    }
    placeBottomBarControls();
    panel->setActive(true);
    panel->viewDidAppear();
    m_addButtonContainer->setVisible(panel->showsAddButton());
}

void NBNumeralsWindowController::categorySelectionChanged() {
    const int row = m_categoriesTable->currentRow();
    if (row < 0 || row >= static_cast<int>(m_categories.size())) return;
    NBNumbersViewController* panel = m_categories[static_cast<size_t>(row)].viewController;
    if (panel != m_activeViewController) setActiveViewController(panel);
}

void NBNumeralsWindowController::placeBottomBarControls() {
    if (!m_bottomBar) return;
    // The add button sits just left of the panel side.
    const int panelOrigin = m_contentView->mapTo(centralWidget(), QPoint(0, 0)).x();
    m_addButtonContainer->move(std::max(0, panelOrigin - 2), 0);
    if (m_activeViewController) {
        if (QWidget* accessory = m_activeViewController->accessoryView()) {
            accessory->adjustSize();
            const int available = m_bottomBar->width() - panelOrigin - 40 - kAccessoryRightInset;
            if (accessory->width() > available && available > 0)
                accessory->resize(available, accessory->height());
            const int y = static_cast<int>(
                std::floor(kBottomBorderThickness / 2.0 - accessory->height() / 2.0));
            accessory->move(m_bottomBar->width() - accessory->width() - kAccessoryRightInset, y);
        }
    }
}

bool NBNumeralsWindowController::validateDelete() const {
    return m_activeViewController && m_activeViewController->canRemove();
}

void NBNumeralsWindowController::deleteSelection() {
    if (validateDelete()) m_activeViewController->removeAction();
}

void NBNumeralsWindowController::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_undoGroup)
        m_undoGroup->setActiveStack(m_undoStack);
}

void NBNumeralsWindowController::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placeBottomBarControls();
}

bool NBNumeralsWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_splitView && event->type() == QEvent::Resize) placeBottomBarControls();
    if (watched == m_contentView &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placeBottomBarControls();
    const bool accessory = m_activeViewController && m_activeViewController->accessoryView() &&
                           watched == m_activeViewController->accessoryView();
    if (accessory && (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show) &&
        !m_placementQueued) {
        m_placementQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_placementQueued = false;
                placeBottomBarControls();
            },
            Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}
