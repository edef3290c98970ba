#include "MRPreferences.h"

#include <QAction>
#include <QActionGroup>
#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QScreen>
#include <QToolBar>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "NBOnScreenPlacement.h"
#include "NBWindowShortcuts.h"
#include "QtSettings.h"
#include "Settings.h"

namespace {

constexpr char kRestorationIdentifier[] = "NBPreferences";
constexpr char16_t kCurrentPaneKey[] = u"currentPaneIdentifier";

QtSettings* qtSettings() { return dynamic_cast<QtSettings*>(Settings::standard().get()); }

}  // namespace

// Window

MRPreferencesTransitionWindow::MRPreferencesTransitionWindow(QWidget* parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("preferencesWindow"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Closing hides: the window and its panes are shown again as they were.
    setAttribute(Qt::WA_DeleteOnClose, false);
}

int MRPreferencesTransitionWindow::animationResizeTime(QSize from, QSize to) {
    // The platform's resize time: 0.2 s for every 150 pixels of change.
    const double change =
        std::abs(to.width() - from.width()) + std::abs(to.height() - from.height());
    const double seconds = 0.2 * std::max(change, 1.0) / 150.0;
    return static_cast<int>(std::lround(1.1 * std::min(seconds, 0.5) * 1000.0));
}

// Content view

MRPreferencesTransitionView::MRPreferencesTransitionView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("transitionView"));
}

void MRPreferencesTransitionView::prepareTransitionToView(QWidget* view) {
    endTransition();
    if (m_pane && m_pane != view) m_pane->hide();
    m_pane = view;
    if (!view) return;
    view->setParent(this);
    view->move(0, 0);
    m_effect = new QGraphicsOpacityEffect(view);
    m_effect->setOpacity(0.0);
    view->setGraphicsEffect(m_effect);
    view->show();
}

void MRPreferencesTransitionView::setTransitionProgress(double progress) {
    if (m_effect) m_effect->setOpacity(std::clamp(progress, 0.0, 1.0));
}

void MRPreferencesTransitionView::endTransition() {
    if (!m_effect) return;
    // The effect belongs to the pane; removing it deletes it.
    if (m_pane) m_pane->setGraphicsEffect(nullptr);
    m_effect = nullptr;
}

// Preferences

MRPreferences::MRPreferences(QObject* parent) : QObject(parent) {}

MRPreferences::~MRPreferences() {
    if (m_resize) m_resize->stop();
    delete m_window;
}

void MRPreferences::setUpWindow() {
    if (m_window) return;
    m_window = new MRPreferencesTransitionWindow;
    m_transitionView = new MRPreferencesTransitionView(m_window);
    m_window->setCentralWidget(m_transitionView);
    setUpToolbar();
    NBAddCloseShortcuts(m_window);
    NBKeepWindowOnScreen(m_window);
    m_resize = new QVariantAnimation(this);
    registerDefaultPreferences();
    loadPreferences();
}

void MRPreferences::setUpToolbar() {
    m_toolbar = new QToolBar(m_window);
    m_toolbar->setObjectName(m_delegate ? m_delegate->preferencesIdentifier(*this) : QString());
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_toolbar->toggleViewAction()->setEnabled(false);
    m_toolbarActions = new QActionGroup(m_toolbar);
    m_toolbarActions->setExclusive(true);
    if (m_delegate) {
        for (const QString& identifier : m_delegate->preferencesPaneIdentifiers(*this)) {
            QAction* item = m_toolbar->addAction(
                m_delegate->preferencesIconForPaneIdentifier(*this, identifier),
                m_delegate->preferencesLabelForPaneIdentifier(*this, identifier));
            item->setObjectName(identifier);
            item->setCheckable(true);
            m_toolbarActions->addAction(item);
            connect(item, &QAction::triggered, this,
                    [this, identifier] { switchToPaneWithIdentifier(identifier); });
        }
    }
    m_window->addToolBar(Qt::TopToolBarArea, m_toolbar);
}

void MRPreferences::showWindow() {
    setUpWindow();
    if (m_currentPaneIdentifier.isEmpty() && m_delegate) {
        const QStringList panes = m_delegate->preferencesPaneIdentifiers(*this);
        const QString remembered = restoredPaneIdentifier();
        if (panes.contains(remembered))
            switchToPaneWithIdentifier(remembered);
        else if (!panes.isEmpty())
            switchToPaneWithIdentifier(panes.front());
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

QSize MRPreferences::windowSizeForView(QWidget* view) const {
    const int toolbarHeight = m_toolbar ? m_toolbar->sizeHint().height() : 0;
    return {view->width(), view->height() + toolbarHeight};
}

void MRPreferences::switchToPaneWithIdentifier(const QString& identifier) {
    setUpWindow();
    if (!m_loadedNibs) {
        m_loadedNibs = true;
        loadNeededNibs();
    }
    if (!m_delegate) return;
    QWidget* view = m_delegate->preferencesViewForPaneIdentifier(*this, identifier);
    if (!view) return;
    if (view == m_currentPaneView && identifier == m_currentPaneIdentifier) return;

    m_delegate->preferencesWillDisplayPaneWithIdentifier(*this, identifier);
    for (QAction* item : m_toolbarActions->actions())
        if (item->objectName() == identifier) item->setChecked(true);
    m_window->setWindowTitle(m_delegate->preferencesLabelForPaneIdentifier(*this, identifier));

    const bool firstPane = m_currentPaneView.isNull();
    finishTransition();
    m_transitionView->prepareTransitionToView(view);
    m_currentPaneIdentifier = identifier;
    m_currentPaneView = view;
    animateToSize(windowSizeForView(view), firstPane);
    storePaneIdentifier(identifier);
    m_delegate->preferencesDidDisplayPaneWithIdentifier(*this, identifier);
}

void MRPreferences::animateToSize(QSize size, bool centre) {
    const QSize from = m_window->size();
    if (centre || !m_window->isVisible()) {
        // Nothing on screen to resize from: the pane shows at once.
        m_window->setFixedSize(size);
        m_transitionView->endTransition();
        if (centre) NBCenterWindowOnScreen(m_window);
        return;
    }
    m_resize->stop();
    m_resize->disconnect(this);
    m_resize->setStartValue(from);
    m_resize->setEndValue(size);
    m_resize->setDuration(MRPreferencesTransitionWindow::animationResizeTime(from, size));
    connect(m_resize, &QVariantAnimation::valueChanged, this,
            [this, from, size](const QVariant& v) {
                const QSize current = v.toSize();
                m_window->setFixedSize(current);
                const double progress =
                    size.height() != from.height()
                        ? double(current.height() - from.height()) / (size.height() - from.height())
                        : m_resize->currentTime() / double(std::max(1, m_resize->duration()));
                m_transitionView->setTransitionProgress(progress);
            });
    connect(m_resize, &QVariantAnimation::finished, this, [this, size] {
        m_window->setFixedSize(size);
        m_transitionView->endTransition();
    });
    m_resize->start();
}

void MRPreferences::finishTransition() {
    if (!m_resize || m_resize->state() != QAbstractAnimation::Running) return;
    m_resize->setCurrentTime(m_resize->duration());
    m_resize->stop();
    m_window->setFixedSize(m_resize->endValue().toSize());
    m_transitionView->endTransition();
}

void MRPreferences::resizeWindowBy(int widthChange, int heightChange) {
    if (!m_window) return;
    finishTransition();
    const QSize target(m_window->width() + widthChange, m_window->height() + heightChange);
    if (!m_window->isVisible()) {
        m_window->setFixedSize(target);
        return;
    }
    m_resize->stop();
    m_resize->disconnect(this);
    m_resize->setStartValue(m_window->size());
    m_resize->setEndValue(target);
    m_resize->setDuration(
        MRPreferencesTransitionWindow::animationResizeTime(m_window->size(), target));
    connect(m_resize, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& v) { m_window->setFixedSize(v.toSize()); });
    m_resize->start();
}

QString MRPreferences::restoredPaneIdentifier() {
    if (QtSettings* settings = qtSettings()) {
        const auto state = settings->dictionaryForKey(kRestorationIdentifier);
        if (auto found = state.find(kCurrentPaneKey); found != state.end())
            return QString::fromStdU16String(found->second);
    }
    return {};
}

void MRPreferences::storePaneIdentifier(const QString& identifier) {
    if (QtSettings* settings = qtSettings())
        settings->setDictionary(kRestorationIdentifier,
                                {{kCurrentPaneKey, identifier.toStdU16String()}});
}
