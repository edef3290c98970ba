#include "NBAnswerPaletteController.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <QTimer>
#include <QWindow>
#include <cmath>

#include "Diagnostics.h"
#include "NBAnswerColumnController.h"
#include "NBAnswerPaletteRules.h"
#include "NBAppResources.h"
#include "NBDocumentController.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCResultFormattingOptions.h"
#include "NCResultTypes.h"
#include "NKAnswerRepHelper.h"
#include "NKEnvironment.h"
#include "NotificationCenter.h"

NBAnswerPaletteController::NBAnswerPaletteController(NBAnswerColumnController& owner)
    : QObject(&owner), m_owner(owner), m_reloadTimer(new QTimer(this)) {
    m_reloadTimer->setSingleShot(true);
    m_reloadTimer->setInterval(kCoalescingMilliseconds);
    connect(m_reloadTimer, &QTimer::timeout, this,
            &NBAnswerPaletteController::updatePalettePosition);
}

NBAnswerPaletteController::~NBAnswerPaletteController() {
    // The owner is gone by now: the palette's last events must not reach the filter.
    if (m_parentWindow) m_parentWindow->removeEventFilter(this);
    if (m_paletteObject) m_paletteObject->removeEventFilter(this);
    delete m_answerPalette.data();
}

void NBAnswerPaletteController::setup() {
    NBAnswerColumnView* column = m_owner.answersColumn();
    if (m_answerPalette || !column) return;
    m_parentWindow = column->window();
    m_answerPalette = new NBAnswerPalette(m_parentWindow);
    m_answerPalette->setMotherWindow(m_parentWindow);
    m_parentWindow->installEventFilter(this);
    m_paletteObject = m_answerPalette.data();
    m_answerPalette->installEventFilter(this);
    connect(column, &NBAnswerColumnView::selectionDidChange, this,
            &NBAnswerPaletteController::selectionChanged);
    if (QTextEdit* text = column->textView()) {
        connect(text->verticalScrollBar(), &QScrollBar::valueChanged, this,
                &NBAnswerPaletteController::setNeedsPositionUpdate);
        // Answers change and lines come and go with the text.
        connect(text->document(), &QTextDocument::contentsChanged, this,
                &NBAnswerPaletteController::setNeedsPositionUpdate);
    }
    connect(m_answerPalette, &NBAnswerPalette::closeRequestedByUser, this,
            [this] { closeAnswerPaletteWithAnimation(true); });
    connect(m_answerPalette->tableView(), &NBAnswerPaletteTableView::cellClicked, this,
            &NBAnswerPaletteController::cellClicked);
    setupInfoButtons(column);
}

void NBAnswerPaletteController::setupInfoButtons(QWidget* column) {
    m_showsButtons = true;
    for (QPointer<NBLittleInfoButton>* slot : {&m_button1, &m_button2}) {
        auto* button = new NBLittleInfoButton(column);
        button->setObjectName(slot == &m_button1 ? QStringLiteral("i_button1")
                                                 : QStringLiteral("i_button2"));
        button->setGeometry(0, 0, NBLittleInfoButton::kSize, NBLittleInfoButton::kSize);
        button->hide();
        connect(button, &QAbstractButton::clicked, this, [this, button] { buttonAction(button); });
        *slot = button;
    }
    column->setMouseTracking(true);
    column->installEventFilter(this);
}

NBLittleInfoButton* NBAnswerPaletteController::availableButton() const {
    for (NBLittleInfoButton* button : {m_button1.data(), m_button2.data()})
        if (button && !button->isChecked()) return button;
    Diagnostics::error("Aww can't find any available buttons");
    return nullptr;
}

NBLittleInfoButton* NBAnswerPaletteController::occupiedButton() const {
    for (NBLittleInfoButton* button : {m_button1.data(), m_button2.data()})
        if (button && button->isChecked()) return button;
    return nullptr;
}

bool NBAnswerPaletteController::buttonCanGoOnLine(int64_t line) const {
    const std::shared_ptr<NCLineCollection>& lines = m_owner.lineCollection();
    if (line < 0 || !m_showsButtons || !lines ||
        !lines->hasLineAtIndex(static_cast<uint64_t>(line)))
        return false;
    std::shared_ptr<NCResult> result = lines->lineAtIndex(static_cast<uint64_t>(line))->result();
    return result && result->resultType() == NCResultTypeValue;
}

void NBAnswerPaletteController::redrawRow(uint64_t line) {
    const std::shared_ptr<NCLineCollection>& lines = m_owner.lineCollection();
    if (lines && lines->hasLineAtIndex(line)) m_owner.redrawCellAtIndex(line);
}

void NBAnswerPaletteController::displayButtonOnLine(NBLittleInfoButton* button, uint64_t line) {
    NBAnswerColumnView* column = m_owner.answersColumn();
    if (!button || !column) return;
    const uint64_t previous = button->tag();
    // Every pointer move over a row lands here: a button already showing there only follows
    // its row, and the answers beside it stay as drawn.
    const bool alreadyThere = previous == line && !button->isHidden();
    button->setTag(line);
    const QRectF row = column->rectOfRow(line);
    button->move(static_cast<int>(row.width()) - NBLittleInfoButton::kSize - 10,
                 static_cast<int>(std::floor(row.y() + row.height() / 2 - 8)));
    if (alreadyThere) return;
    redrawRow(line);
    if (previous != kAnswerPaletteNoLine && previous != line) redrawRow(previous);
    button->show();
    button->raise();
}

void NBAnswerPaletteController::hideButton(NBLittleInfoButton* button) {
    if (!button || button->isHidden()) return;
    button->hide();
    button->setChecked(false);
    if (button->tag() != kAnswerPaletteNoLine) {
        const uint64_t line = button->tag();
        button->setTag(kAnswerPaletteNoLine);
        redrawRow(line);
    }
}

void NBAnswerPaletteController::setShowsButtons(bool shows) {
    if (shows == m_showsButtons) return;
    m_showsButtons = shows;
    setButtonsStateRefresh();
    setButtonsNeedReposition();
}

bool NBAnswerPaletteController::buttonVisibileOnLine(uint64_t index) const {
    for (NBLittleInfoButton* button : {m_button1.data(), m_button2.data()})
        if (button && button->tag() == index && !button->isHidden()) return true;
    return false;
}

void NBAnswerPaletteController::setButtonsNeedReposition() {
    NBAnswerColumnView* column = m_owner.answersColumn();
    if (!column) return;
    if (!m_showsButtons) {
        for (NBLittleInfoButton* button : {m_button1.data(), m_button2.data()}) hideButton(button);
        return;
    }
    const QPoint pointer = column->mapFromGlobal(QCursor::pos());
    int64_t line = -1;
    if (column->rect().contains(pointer)) {
        const int64_t row = column->rowAtPoint(pointer);
        line = row < 0 || row > 100000 ? static_cast<int64_t>(kAnswerPaletteNoLine) : row;
    }
    repositionButtonsForLineNumber(line);
}

void NBAnswerPaletteController::repositionButtonsForLineNumber(int64_t line) {
    const std::shared_ptr<NCLineCollection>& lines = m_owner.lineCollection();
    if (paletteIsVisible() && m_actualRepresentedLine && lines) {
        const uint64_t actual = lines->indexOfLine(m_actualRepresentedLine.get());
        NBLittleInfoButton* occupied = occupiedButton();
        if (!occupied) {
            for (NBLittleInfoButton* button : {m_button2.data(), m_button1.data()})
                if (button && button->isHidden()) {
                    occupied = button;
                    break;
                }
            if (occupied)
                occupied->setChecked(true);
            else
                Diagnostics::error("Houstan, we have a problem. No close button!");
        }
        if (occupied) displayButtonOnLine(occupied, actual);
        NBLittleInfoButton* available = availableButton();
        if (line >= 0 && static_cast<uint64_t>(line) == actual)
            hideButton(available);
        else if (buttonCanGoOnLine(line))
            displayButtonOnLine(available, static_cast<uint64_t>(line));
        else
            hideButton(available);
    } else {
        NBLittleInfoButton* available = availableButton();
        for (NBLittleInfoButton* button : {m_button1.data(), m_button2.data()})
            if (button && button != available && !button->isHidden()) hideButton(button);
        if (buttonCanGoOnLine(line))
            displayButtonOnLine(available, static_cast<uint64_t>(line));
        else
            hideButton(available);
    }
    setButtonsStateRefresh();
}

void NBAnswerPaletteController::setButtonsStateRefresh() {
    NBAnswerColumnView* column = m_owner.answersColumn();
    if (!column) return;
    for (NBLittleInfoButton* button : {m_button1.data(), m_button2.data()})
        if (button && !button->isHidden())
            button->setBackgroundStyle(column->isRowSelected(button->tag()) ? 1 : 0);
}

void NBAnswerPaletteController::buttonAction(NBLittleInfoButton* button) {
    // A click that reached a button as it went away opens nothing.
    if (!m_showsButtons) {
        hideButton(button);
        return;
    }
    if (button->isChecked()) {
        for (NBLittleInfoButton* other : {m_button1.data(), m_button2.data()})
            if (other && other != button && other->isChecked()) hideButton(other);
        showAnswerPaletteOnLineIndex(button->tag(), true);
    } else {
        closeAnswerPaletteWithAnimation(true);
        if (!buttonCanGoOnLine(static_cast<int64_t>(button->tag()))) hideButton(button);
    }
}

void NBAnswerPaletteController::showAnswerPaletteOnLineIndex(uint64_t index, bool) {
    const std::shared_ptr<NCLineCollection>& lines = m_owner.lineCollection();
    if (!lines || !lines->hasLineAtIndex(index)) {
        Diagnostics::writef(Diagnostics::Stream::error,
                            "Warning. Ans Pal Cannot represent line at index %lu. No line exists "
                            "at that index",
                            static_cast<unsigned long>(index));
        return;
    }
    setup();
    m_preferredRepresentedLine = lines->lineAtIndex(index);
    setNeedsPositionUpdate();
}

void NBAnswerPaletteController::closeAnswerPaletteWithAnimation(bool animated) {
    m_reloadTimer->stop();
    if (m_answerPalette) m_answerPalette->hideWindowWithAnimation(animated);
    m_preferredRepresentedLine.reset();
    m_actualRepresentedLine.reset();
    // The line's button is released with the palette.
    hideButton(occupiedButton());
    NotificationCenter::defaultCenter().post(NBAnswerPaletteDidHide, this);
}

bool NBAnswerPaletteController::paletteIsVisible() const {
    return m_answerPalette && m_answerPalette->isPopupVisible();
}

void NBAnswerPaletteController::setNeedsPositionUpdate() {
    // Nothing to follow while hidden and nothing asked for.
    if (!m_preferredRepresentedLine || m_reloadTimer->isActive()) return;
    m_reloadTimer->start();
}

void NBAnswerPaletteController::updatePalettePosition() {
    m_reloadTimer->stop();
    if (!m_preferredRepresentedLine || !m_answerPalette) return;
    const std::shared_ptr<NCLineCollection>& lines = m_owner.lineCollection();
    if (!lines || lines->countOfLines() == 0) return;
    m_actualRepresentedLine = actualLineForPreferredLine(m_preferredRepresentedLine);
    if (!m_actualRepresentedLine) return;
    const uint64_t index = lines->indexOfLine(m_actualRepresentedLine.get());
    const std::optional<QPoint> location = popupLocationForLineIndex(index);
    if (!location) {
        Diagnostics::writef(Diagnostics::Stream::error,
                            "Answer Palette Bug: The popup location for line %ld is ZeroPoint",
                            static_cast<long>(index));
        return;
    }
    reloadPaletteAtLocation(*location);
}

std::shared_ptr<NCLine> NBAnswerPaletteController::actualLineForPreferredLine(
    const std::shared_ptr<NCLine>& preferred) {
    const std::shared_ptr<NCLineCollection>& lines = m_owner.lineCollection();
    NBAnswerColumnView* column = m_owner.answersColumn();
    uint64_t index = lines->indexOfLine(preferred.get());
    std::shared_ptr<NCLine> line = preferred;
    if (index >= lines->countOfLines()) {
        // The line has been removed: the last line stands in.
        index = lines->countOfLines() - 1;
        line = lines->lineAtIndex(index);
    }
    if (popupLocationForLineIndex(index) || !column) return line;
    const std::vector<uint64_t> visible = column->visibleRows();
    if (visible.empty()) return line;
    const auto middleInside = [column](uint64_t row) {
        const QRectF rect = column->rectOfRow(row);
        const double middle = rect.y() + rect.height() / 2;
        return middle >= 0 && middle < column->height();
    };
    const int64_t first =
        static_cast<int64_t>(middleInside(visible.front()) ? visible.front() : visible.front() + 1);
    const int64_t last = static_cast<int64_t>(
        middleInside(visible.back()) ? visible.back() : std::max<uint64_t>(visible.back(), 1) - 1);
    const int64_t chosen = answerPaletteNearerRow(static_cast<int64_t>(index), first, last);
    if (chosen < 0 || !lines->hasLineAtIndex(static_cast<uint64_t>(chosen))) return line;
    return lines->lineAtIndex(static_cast<uint64_t>(chosen));
}

std::optional<QPoint> NBAnswerPaletteController::popupLocationForLineIndex(uint64_t index) const {
    NBAnswerColumnView* column = m_owner.answersColumn();
    if (!column) return std::nullopt;
    const QRectF rect = column->rectOfRow(index);
    if (rect.isEmpty()) {
        Diagnostics::writef(Diagnostics::Stream::error,
                            "Ans Pal Bug! The rect of line %ld is nothing",
                            static_cast<long>(index));
        return std::nullopt;
    }
    const QPointF anchor(rect.x(), rect.y() + rect.height() / 2);
    if (anchor.y() < 0 || anchor.y() >= column->height()) return std::nullopt;
    const QPoint screen = column->mapToGlobal(anchor.toPoint());
    const QRect frame = column->window()->frameGeometry();
    // "2 above" in a y-down world.
    return QPoint(frame.x() + frame.width() - static_cast<int>(kAnswerPaletteEdgeInset),
                  screen.y() - 2);
}

void NBAnswerPaletteController::reloadPaletteAtLocation(const QPoint& location) {
    m_updateInProgress = true;
    m_answerPalette->setDesiredAnswerPaletteLocation(location);
    m_dataSource.clear();
    std::shared_ptr<NCResult> result =
        m_actualRepresentedLine ? m_actualRepresentedLine->result() : nullptr;
    NKAnswerRepHelper& helper = NKAnswerRepHelper::sharedHelper();
    NBAnswerPaletteCurrencies currencies;
    if (std::shared_ptr<NKEnvironment> environment = NKEnvironment::sharedEnvironment()) {
        currencies.manager = environment->fullCurrenciesManager();
        currencies.conversionOperator = environment->localizedConversionOperatorString();
    }
    if (const std::shared_ptr<NCLineCollection>& lines = m_owner.lineCollection())
        currencies.environment = lines->environment();
    if (NBDocumentController* document = m_owner.documentController()) {
        helper.setLocale(document->defaultLocale());
        currencies.thousandsSeparator = document->defaultLocale().groupingChar;
        // Read afresh on each reload, so a change of locale or defaults shows at once;
        // conversions go scientific from 8 digits so that a wide rate keeps the palette narrow.
        if (std::shared_ptr<NCResultFormattingOptions> defaults =
                document->defaultFormattingOptions()) {
            currencies.displayFormattingOptions = defaults->copy();
            currencies.displayFormattingOptions->scientificNotationBigThreshold = 8;
            currencies.displayFormattingOptions->setDecimalPlaces(8);
        }
    }
    for (const NBAnswerPaletteRow& row :
         answerPaletteRowsForResult(result.get(), helper, &currencies))
        m_dataSource.push_back(
            {NBAppResources::toQString(row.title), NBAppResources::toQString(row.value)});
    m_answerPalette->reloadData(m_dataSource);
    if (!m_answerPalette->isPopupVisible()) m_answerPalette->showWithAnimation(true);
    m_updateInProgress = false;
    setButtonsNeedReposition();
    NotificationCenter::defaultCenter().post(NBAnswerPaletteWasReloaded, this);
}

void NBAnswerPaletteController::cellClicked(int row, int column) {
    if (column != 1 || row < 0 || row >= static_cast<int>(m_dataSource.size())) return;
    if (!answerPaletteRowIsFraction(m_dataSource[static_cast<size_t>(row)].title.toStdU16String()))
        return;
    NKAnswerRepHelper& helper = NKAnswerRepHelper::sharedHelper();
    std::shared_ptr<NCResultFormattingOptions> options = helper.formattingOptions();
    if (!options) return;
    options = options->copy();
    if (options->fractionStyle == 1)
        options->fractionStyle = 0;
    else if (options->fractionStyle == 0)
        options->fractionStyle = 1;
    else
        return;
    helper.setFormattingOptions(options);
    updatePalettePosition();
}

void NBAnswerPaletteController::selectionChanged() {
    setButtonsStateRefresh();
    NBAnswerColumnView* column = m_owner.answersColumn();
    const std::shared_ptr<NCLineCollection>& lines = m_owner.lineCollection();
    if (!column || !lines || !paletteIsVisible() || !m_actualRepresentedLine) return;
    const int64_t selected = column->selectedRow();
    if (selected < 0 || !lines->hasLineAtIndex(static_cast<uint64_t>(selected))) return;
    if (static_cast<uint64_t>(selected) == lines->indexOfLine(m_actualRepresentedLine.get()))
        return;
    m_preferredRepresentedLine = lines->lineAtIndex(static_cast<uint64_t>(selected));
    updatePalettePosition();
}

void NBAnswerPaletteController::followActivationLater() {
    // Once activation has settled: the palette handing activation back to its window in the
    // meantime is not leaving the window.
    QTimer::singleShot(0, this, [this] {
        QWidget* active = QApplication::activeWindow();
        const bool ours = active && (active == m_parentWindow || active == m_paletteObject);
        // The palette belongs to its window: out of sight while another window or another
        // program is active, back when its window is.
        if (m_answerPalette) m_answerPalette->setSuspended(!ours);
        if (!ours) {
            m_buttonsHiddenWhileInactive = true;
            for (NBLittleInfoButton* button : {m_button1.data(), m_button2.data()})
                hideButton(button);
        } else if (m_buttonsHiddenWhileInactive) {
            m_buttonsHiddenWhileInactive = false;
            setButtonsNeedReposition();
        }
    });
}

bool NBAnswerPaletteController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_parentWindow) {
        switch (event->type()) {
            case QEvent::Resize:
                if (paletteIsVisible() && !m_updateInProgress) updatePalettePosition();
                break;
            // Moved near an edge of the screen, the window takes its palette to the other side.
            case QEvent::Move:
                if (paletteIsVisible()) setNeedsPositionUpdate();
                break;
            case QEvent::WindowStateChange:
                if (m_parentWindow->isFullScreen()) {
                    if (paletteIsVisible()) closeAnswerPaletteWithAnimation(false);
                    setShowsButtons(false);
                } else {
                    // Answers jumped into the text keep the buttons away.
                    setShowsButtons(m_owner.answersVisible());
                }
                break;
            // The buttons belong to the window the user works in.
            case QEvent::WindowDeactivate:
            case QEvent::WindowActivate:
                followActivationLater();
                break;
            case QEvent::Close:
            case QEvent::Hide:
                if (paletteIsVisible()) closeAnswerPaletteWithAnimation(false);
                break;
            default:
                break;
        }
    }
    if (watched == m_paletteObject &&
        (event->type() == QEvent::WindowDeactivate || event->type() == QEvent::WindowActivate))
        followActivationLater();
    if (watched == m_owner.answersColumn()) {
        NBAnswerColumnView* column = m_owner.answersColumn();
        switch (event->type()) {
            case QEvent::MouseMove:
                if (m_showsButtons)
                    repositionButtonsForLineNumber(
                        column->rowAtPoint(static_cast<QMouseEvent*>(event)->position()));
                break;
            case QEvent::Enter:
                if (m_showsButtons) setButtonsNeedReposition();
                break;
            case QEvent::Leave:
                if (NBLittleInfoButton* available = availableButton()) {
                    // Leaving for the button itself is not leaving the row.
                    if (!available->underMouse() &&
                        !available->geometry().contains(column->mapFromGlobal(QCursor::pos())))
                        hideButton(available);
                }
                break;
            case QEvent::Resize:
                hideButton(availableButton());
                if (NBLittleInfoButton* occupied = occupiedButton();
                    occupied && occupied->tag() != kAnswerPaletteNoLine)
                    displayButtonOnLine(occupied, occupied->tag());
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}
