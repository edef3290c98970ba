#include "NBViewController.h"

#include <QMainWindow>
#include <QMetaObject>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "Diagnostics.h"
#include "NBAnswerColumnController.h"
#include "NBAnswerColumnView.h"
#include "NBColoredLine.h"
#include "NBDocumentController.h"
#include "NBDocumentWindowRules.h"
#include "NBFormattingBarView.h"
#include "NBInterfaceHelpers.h"
#include "NBKettraView.h"
#include "NBLineFormattingController.h"
#include "NBLineFormattingRules.h"
#include "NBTextView.h"
#include "NBTextViewController.h"
#include "NBTextViewMetrics.h"
#include "NBTotalsPopupButton.h"
#include "NBUserDefaultsController.h"
#include "NCFile.h"
#include "NCLineCollection.h"
#include "NCLineCollectionStatistics.h"
#include "NSIndexSet+Additions.h"
#include "QtSettings.h"
#include "Settings.h"

namespace {

// The window's content: its smallest size is the panes' plus the bars shown.
class ContentView : public QWidget {
  public:
    ContentView(NBViewController* controller, QWidget* parent)
        : QWidget(parent), m_controller(controller) {
        setObjectName(QStringLiteral("documentContentView"));
    }
    QSize minimumSizeHint() const override {
        QSize size = m_controller->kettraView()->minimumSizeHint();
        if (m_controller->formattingBarVisible())
            size.rheight() += static_cast<int>(NBLineFormattingController::kFormattingBarHeight);
        if (m_controller->statisticsBarVisibile())
            size.rheight() += NBViewController::kBottomBarHeight;
        return size;
    }
    QSize sizeHint() const override { return QSize(640, 480); }

  private:
    NBViewController* m_controller;
};

}  // namespace

NBViewController::NBViewController(QMainWindow* window, NBKettraView* kettraView,
                                   NBDocumentController* document)
    : QObject(window),
      m_documentWindow(window),
      m_kettraView(kettraView),
      m_documentController(document),
      m_statisticPauseTimer(new QTimer(this)) {
    m_statisticPauseTimer->setSingleShot(true);
    m_statisticPauseTimer->setInterval(kStatisticPauseMilliseconds);
    connect(m_statisticPauseTimer, &QTimer::timeout, this,
            [this] { updateStatsButtonWithReevaluation(true); });
}

NBViewController::~NBViewController() {
    deregisterForNotifications();
    if (m_numberLineController) m_numberLineController->setDelegate(nullptr);
}

NBNumberLineView* NBViewController::numberLineView() const {
    return m_kettraView->numberLineView();
}

bool NBViewController::numberLineVisibile() const {
    return m_numberLineController && m_numberLineController->numberLineVisibile();
}

void NBViewController::setLineCollection(std::shared_ptr<NCLineCollection> lines) {
    if (lines == m_lineCollection) return;
    m_lineCollection = lines;
    if (m_numberLineController) m_numberLineController->setLineCollection(lines);
    if (m_formattingBarController) m_formattingBarController->setLineCollection(lines);
    m_lineCollectionStatistics = std::make_shared<NCLineCollectionStatistics>(lines);
}

void NBViewController::setupViews() {
    // The panes move into a content view that also holds the two bars.
    m_documentWindow->takeCentralWidget();
    m_contentView = new ContentView(this, m_documentWindow);
    m_kettraView->setParent(m_contentView);
    m_kettraView->show();
    m_contentView->installEventFilter(this);

    m_formattingBarController = new NBLineFormattingController(this);
    m_formattingBarController->setDocumentController(m_documentController);

    m_bottomBarGrooveLine = new NBColoredLine(m_contentView);
    m_bottomBarGrooveLine->setObjectName(QStringLiteral("bottomBarGrooveLine"));
    m_bottomBarGrooveLine->setActiveColor(
        NBChromeColor(QColor::fromRgbF(0.845f, 0.845f, 0.845f), m_contentView->palette()));
    m_bottomBarGrooveLine->setShowsWhileInactive(false);
    m_statisticsButton = new NBTotalsPopupButton(m_contentView);
    m_statisticsSelectionDetailLabel = new QLabel(m_contentView);
    m_statisticsSelectionDetailLabel->setObjectName(QStringLiteral("statisticsSelectionDetail"));
    m_statisticsSelectionDetailLabel->hide();

    m_numberLineController = new NBNumberLineController(numberLineView(), nullptr, this);
    m_numberLineController->setDelegate(this);
    setLineCollection(m_documentController->lineCollection());
    setupTotalsButton();
    connect(m_numberLineController, &NBNumberLineController::numberLineWidthChanged, this, [this] {
        if (isAnimatingNumberLine()) return;
        m_kettraView->layoutPanes();
        m_contentView->updateGeometry();
    });

    m_formattingBarController->setup(m_contentView);
    m_formattingBarController->setLineCollection(m_lineCollection);
    m_formattingBarController->view()->stackUnder(m_kettraView);
    m_formattingBarVisible = false;

    m_documentWindow->setCentralWidget(m_contentView);
    layoutContent();

    // The areas take the user's default states, without animation.
    if (NBUserDefaultsController::lineNumbersVisible() != numberLineVisibile())
        setLineNumbersVisible(NBUserDefaultsController::lineNumbersVisible(), false);
    if (NBUserDefaultsController::statisticsBarVisible() != m_statisticsBarVisibile) {
        setStatisticsBarVisible(NBUserDefaultsController::statisticsBarVisible(), false);
        // The window keeps the size it was made with.
        if (!m_statisticsBarVisibile) resizeWindowBy(kBottomBarHeight);
    }
    if (NBUserDefaultsController::formattingBarVisible() != m_formattingBarVisible)
        setFormattingBarVisible(NBUserDefaultsController::formattingBarVisible(), false);
    const int64_t chosen = NBUserDefaultsController::integerForKey(NBChosenStatistic);
    if (chosen >= 1 && chosen <= 4) setSelectedStatistic(static_cast<int32_t>(chosen));
    applyDocumentViewProperties();
    m_storedAnswerColumnWidth = m_kettraView->answerColumnWidth();
    storeViewInfo();
    registerForNotifications();
    keyLineNumbersChanged(NSIndexSet());
}

void NBViewController::applyDocumentViewProperties() {
    // A document file keeps the areas' states and the statistic it was saved with.
    NCFile* file = m_documentController->viewStateFile().get();
    if (!file) return;
    const auto flag = [file](const char* key) -> std::optional<bool> {
        const std::optional<double> value = file->numberForKey(key);
        if (!value) return std::nullopt;
        return *value != 0;
    };
    if (const auto shown = flag("NBFormattingBarVisible");
        shown && *shown != m_formattingBarVisible)
        setFormattingBarVisible(*shown, false);
    if (const auto shown = flag("NBNumberLineVisible"); shown && *shown != numberLineVisibile())
        setLineNumbersVisible(*shown, false);
    if (const auto shown = flag("NBStatisticsBarVisible");
        shown && *shown != m_statisticsBarVisibile)
        setStatisticsBarVisible(*shown, false);
    // The split the document was saved with.
    if (const std::optional<double> width = file->numberForKey(kAnswerColumnWidthKey)) {
        if (*width >= NBKettraView::kAnswerColumnMinimumWidth &&
            *width <= NBAnswerColumnView::kMaximumWidth)
            m_kettraView->setAnswerColumnWidth(static_cast<int>(*width));
    }
    // 0 names no statistic the menu offers (earlier files always wrote it).
    if (const std::optional<double> chosen = file->numberForKey(NBChosenStatistic)) {
        // Checked as a number first: a hostile file's value may not fit any integer.
        if (*chosen >= 1.0 && *chosen <= 4.0) setSelectedStatistic(static_cast<int32_t>(*chosen));
    }
}

void NBViewController::storeViewInfo() {
    if (!m_numberLineController) return;
    m_documentController->setViewInfo({
        {"NBNumberLineVisible", numberLineVisibile()},
        {"NBStatisticsBarVisible", m_statisticsBarVisibile},
        {"NBFormattingBarVisible", m_formattingBarVisible},
        {NBChosenStatistic, int64_t{m_currentStatistic}},
        {kAnswerColumnWidthKey, int64_t{m_kettraView->answerColumnWidth()}},
    });
}

void NBViewController::answerColumnWidthMayHaveChanged() {
    // A dragged divider is part of the document's view, kept with it like the bars' states.
    const int width = m_kettraView->answerColumnWidth();
    if (width == m_storedAnswerColumnWidth) return;
    m_storedAnswerColumnWidth = width;
    storeViewInfo();
    m_documentController->makeDocumentDirty();
}

void NBViewController::registerForNotifications() {
    deregisterForNotifications();
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const auto onMain = [this](void (NBViewController::*handler)()) {
        return [this, handler](const NSNotification&) { (this->*handler)(); };
    };
    m_observers.push_back(center.addObserver(NBAnswerColumnChangedSize,
                                             m_kettraView->answerColumn(), nullptr,
                                             onMain(&NBViewController::answerColumnChangedSize)));
    m_observers.push_back(center.addObserver(NBTextDidChange,
                                             &m_documentController->textViewController(), nullptr,
                                             onMain(&NBViewController::textDidChange)));
    m_observers.push_back(
        center.addObserver(NBLineFormattingOptionsDidChange, m_formattingBarController, nullptr,
                           onMain(&NBViewController::lineFormattingOptionsChanged)));
    m_observers.push_back(center.addObserver(
        NBKettraViewDidFinishResizing, m_kettraView, nullptr, [this](const NSNotification&) {
            m_kettraView->setSyncronisesScrollViews(false);
            relayoutCellsIfNecessary();
            m_kettraView->setSyncronisesScrollViews(true);
            m_kettraView->syncroniseToView(m_kettraView->textView());
            answerColumnWidthMayHaveChanged();
        }));
    m_connections.push_back(connect(m_kettraView->textView(), &QTextEdit::selectionChanged, this,
                                    &NBViewController::textSelectionChanged));
    m_connections.push_back(
        connect(m_formattingBarController, &NBLineFormattingController::textAlignmentDidChange,
                this, [this](int32_t alignment) {
                    m_documentController->textViewController().setAlignment(
                        alignment, m_formattingBarController->selectedLineNumbers());
                }));
    m_connections.push_back(connect(m_formattingBarController,
                                    &NBLineFormattingController::globalFormattingDidChange, this,
                                    &NBViewController::globalFormattingChanged));
    m_connections.push_back(connect(m_documentController,
                                    &NBDocumentController::keyLineNumbersChanged, this,
                                    &NBViewController::keyLineNumbersChanged));
    m_connections.push_back(
        connect(m_documentController, &NBDocumentController::controllersLineCollectionsUpdated,
                this, [this] { setLineCollection(m_documentController->lineCollection()); }));
    if (auto settings = std::dynamic_pointer_cast<QtSettings>(Settings::standard()))
        m_connections.push_back(settings->observe(QStringLiteral("NBNotationStyle"), this, [this] {
            updateStatsButtonWithReevaluation(true);
        }));
}

void NBViewController::deregisterForNotifications() {
    for (const NotificationObserver& token : m_observers)
        NotificationCenter::defaultCenter().removeObserver(token);
    m_observers.clear();
    for (const QMetaObject::Connection& connection : m_connections) QObject::disconnect(connection);
    m_connections.clear();
}

// Layout

bool NBViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_contentView && event->type() == QEvent::Resize) layoutContent();
    return QObject::eventFilter(watched, event);
}

void NBViewController::layoutContent() {
    if (!m_contentView) return;
    const int width = m_contentView->width(), height = m_contentView->height();
    const int barHeight = static_cast<int>(m_formattingBarController->formattingBarHeight());
    const int top = m_formattingBarVisible ? barHeight : 0;
    const int bottom = m_statisticsBarVisibile ? kBottomBarHeight : 0;
    if (QWidget* bar = m_formattingBarController->view()) bar->setGeometry(0, 0, width, barHeight);
    if (!isAnimatingFormattingBar())
        m_kettraView->setGeometry(0, top, width, std::max(0, height - top - bottom));
    m_bottomBarGrooveLine->setGeometry(0, height - kBottomBarHeight + 1, width, 1);
    m_bottomBarGrooveLine->setVisible(m_statisticsBarVisibile);
    repositionPopupButton();
}

void NBViewController::resizeWindowBy(int heightChange) {
    // The top-left corner stays; the window changes at its bottom.
    const QPoint topLeft = m_documentWindow->pos();
    m_documentWindow->resize(m_documentWindow->width(),
                             std::max(1, m_documentWindow->height() + heightChange));
    m_documentWindow->move(topLeft);
    layoutContent();
}

// Document relays

void NBViewController::keyLineNumbersChanged(const NSIndexSet& previous) {
    const NSIndexSet& lines = m_documentController->keyLineNumbers();
    m_formattingBarController->setSelectedLineNumbers(lines);
    // The number line shows the lines selected in the text; its own choices arrive here too.
    if (m_numberLineController->selectedLineNumbers() != lines)
        m_numberLineController->setSelectedLineNumbers(lines);
    const uint64_t count = m_lineCollection ? m_lineCollection->countOfLines() : 0;
    updateStatsButtonWithReevaluation(
        NSIndexSetAdditions::totalWouldDifferFromIndexSet(previous, lines, count) ||
        previous.empty());
}

void NBViewController::textDidChange() {
    // The document handles the edit first; the statistics follow its answers.
    if (m_statsUpdateQueued) return;
    m_statsUpdateQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_statsUpdateQueued = false;
            if (numberLineVisibile()) m_numberLineController->numberOfCellsHasChanged();
            m_formattingBarController->setNeedsRefresh();
            if (m_lastStatisticMilliseconds < kSlowStatisticMilliseconds)
                updateStatsButtonWithReevaluation(true);
            else
                m_statisticPauseTimer->start();
        },
        Qt::QueuedConnection);
}

void NBViewController::lineFormattingOptionsChanged() {
    NBAnswerColumnController& answers = m_documentController->answerColumnController();
    answers.redrawCellsAtIndexes(m_formattingBarController->selectedLineNumbers());
    NSIndexSet dependents;
    if (m_lineCollection)
        m_formattingBarController->selectedLineNumbers().enumerateIndexes([&](uint64_t index,
                                                                              bool&) {
            dependents.addIndexes(m_lineCollection->indexesOfLinesDependingOnLineAtIndex(index));
        });
    if (!dependents.empty())
        m_documentController->textViewController().redrawLinesAtIndexes(dependents, true);
    m_documentController->makeDocumentDirty();
    updateStatsButtonWithReevaluation(true);
}

void NBViewController::globalFormattingChanged() {
    m_documentController->answerColumnController().redrawAllCells();
    if (m_lineCollection)
        m_documentController->textViewController().redrawLinesAtIndexes(
            NSIndexSet(NSRange{0, m_lineCollection->countOfLines()}), true);
    updateStatsButtonWithReevaluation(true);
}

void NBViewController::documentNeedsRedrawing() { m_documentController->forceSynchronize(); }

void NBViewController::answerColumnChangedSize() {
    if (m_statisticsButton) repositionPopupButton();
    relayoutCellsIfNecessary();
}

void NBViewController::relayoutCellsIfNecessary() {
    m_documentController->relayoutTableCellsForTextViewBoundsChange();
}

// Line-number delegate

double NBViewController::numberLineControllerHeightForRowAtIndex(NBNumberLineController*,
                                                                 uint64_t index) {
    return m_documentController->paragraphHeightForLineIndex(index);
}

void NBViewController::numberLineControllerSelectionDidChange(NBNumberLineController*,
                                                              const NSIndexSet& rows) {
    NBTextViewController& text = m_documentController->textViewController();
    if (rows == m_documentController->keyLineNumbers() && rows == text.selectedLineNumbers())
        return;
    NBTextView* view = m_kettraView->textView();
    std::shared_ptr<NBTextViewMetrics> metrics = view->metricsInfo();
    if (!metrics || rows.empty()) return;
    // The text has one selection: it takes the first run of consecutive lines, end of line
    // included; the other runs show as extra selections. The rows stay the key lines.
    std::vector<NSRange> runs;
    for (uint64_t row : rows.indexes()) {
        if (!runs.empty() && NSMaxRange(runs.back()) == row)
            ++runs.back().length;
        else
            runs.push_back({row, 1});
    }
    const uint64_t length = static_cast<uint64_t>(view->document()->characterCount() - 1);
    const auto rangeOfRun = [&](NSRange run) {
        const NSRange first = metrics->rangeOfLineAtIndex(run.location, true);
        const NSRange last = metrics->rangeOfLineAtIndex(NSMaxRange(run) - 1, true);
        const uint64_t end = std::min(NSMaxRange(last), length);
        return NSRange{first.location, end >= first.location ? end - first.location : 0};
    };
    m_showingRowSelections = true;
    view->setSelectedRange(rangeOfRun(runs.front()));
    QList<QTextEdit::ExtraSelection> extras = extraSelectionsOfOthers();
    for (size_t i = 1; i < runs.size(); ++i) {
        const NSRange range = rangeOfRun(runs[i]);
        QTextEdit::ExtraSelection extra;
        extra.cursor = QTextCursor(view->document());
        extra.cursor.setPosition(static_cast<int>(range.location));
        extra.cursor.setPosition(static_cast<int>(NSMaxRange(range)), QTextCursor::KeepAnchor);
        extra.format.setBackground(view->palette().color(QPalette::Highlight).lighter(160));
        extra.format.setProperty(kRowSelectionProperty, true);
        extras << extra;
    }
    view->setExtraSelections(extras);
    m_showingRowSelections = false;
    m_documentController->setKeyLineNumbers(rows);
    m_numberLineController->setSelectedLineNumbers(rows);
}

QList<QTextEdit::ExtraSelection> NBViewController::extraSelectionsOfOthers() const {
    QList<QTextEdit::ExtraSelection> kept;
    for (const QTextEdit::ExtraSelection& extra : m_kettraView->textView()->extraSelections())
        if (!extra.format.hasProperty(kRowSelectionProperty)) kept << extra;
    return kept;
}

void NBViewController::textSelectionChanged() {
    // A selection made in the text replaces the rows chosen in the number line.
    if (m_showingRowSelections) return;
    NBTextView* view = m_kettraView->textView();
    const QList<QTextEdit::ExtraSelection> kept = extraSelectionsOfOthers();
    if (kept.size() != view->extraSelections().size()) view->setExtraSelections(kept);
}
