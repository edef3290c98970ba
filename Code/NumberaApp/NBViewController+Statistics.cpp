// The statistics bar: the chosen statistic of the document, or of the selected lines, on the
// pop-up button with the lines it covers beside it; the menu that chooses and copies it.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QMenu>
#include <QTimer>

#include "NBAnswerColumnView.h"
#include "NBAppResources.h"
#include "NBDocumentController.h"
#include "NBDocumentWindowRules.h"
#include "NBKettraView.h"
#include "NBTotalsPopupButton.h"
#include "NBUserDefaultsController.h"
#include "NBViewController.h"
#include "NCLineCollectionStatistics.h"
#include "NSLocalizedString.h"

namespace {

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

}  // namespace

void NBViewController::setupTotalsButton() {
    m_statisticsButton->setPlaceHolder(localized(u"Statistics"));
    m_statisticsButton->setDeliniator(QStringLiteral(":  "));
    m_currentStatistic = NBStatisticTotal;
    // Its values are worked out when it opens: four statistics of a long document are no
    // part of opening it.
    createStatsMenu();
    m_statisticsButton->setMenu(m_statsMenu);
    connect(m_statsMenu, &QMenu::aboutToShow, this, &NBViewController::updateStatisticsMenu);
    updateStatsButtonWithReevaluation(false);
}

QString NBViewController::statisticValueForType(int32_t type, bool mustBeEvaluatable) const {
    if (!m_lineCollectionStatistics) return {};
    return NBAppResources::toQString(::statisticValueForType(*m_lineCollectionStatistics, type,
                                                             m_documentController->keyLineNumbers(),
                                                             mustBeEvaluatable));
}

void NBViewController::setStatisticsButtonValue() {
    if (!m_lineCollectionStatistics) {
        m_statisticsButton->setRightCompontent(QString());
        return;
    }
    // The value in the button's font, its exponent raised as the answers' are.
    const QFont font = m_statisticsButton->font();
    const NSAttributes attributes = {
        {NSFontNameAttributeName, NBAppResources::toU16(font.family())},
        {NSFontSizeAttributeName, font.pointSizeF() > 0 ? font.pointSizeF() : NSDefaultFontSize},
    };
    const NBStatisticValue value =
        statisticDisplayValueForType(*m_lineCollectionStatistics, m_currentStatistic,
                                     m_documentController->keyLineNumbers(), attributes);
    m_statisticsButton->setRightCompontent(NBAppResources::toQString(value.text), value.attributed);
}

QString NBViewController::statisticsLabelForType(int32_t type, int32_t representation,
                                                 bool includeRange) const {
    return NBAppResources::toQString(::statisticsLabelForType(
        type, representation, includeRange, m_documentController->keyLineNumbers()));
}

void NBViewController::setSelectedStatistic(int32_t type) {
    if (type == m_currentStatistic) return;
    m_currentStatistic = type;
    updateStatsButtonWithReevaluation(true);
    storeViewInfo();
}

void NBViewController::selectStatistic(int32_t tag) {
    if (tag == m_currentStatistic) return;
    setSelectedStatistic(tag);
    NBUserDefaultsController::setValueForKey(NBChosenStatistic, int64_t{tag});
    m_documentController->makeDocumentDirty();
}

void NBViewController::copySelectedStatistic() {
    QApplication::clipboard()->setText(statisticValueForType(m_currentStatistic, true));
}

bool NBViewController::statisticWaitsForAPause() const { return m_statisticPauseTimer->isActive(); }

void NBViewController::updateStatsButtonWithReevaluation(bool reevaluate) {
    if (!m_statisticsBarVisibile || !m_statisticsButton) return;
    const QString oldTitle = m_statisticsButton->text();
    const QString oldDetail = m_statisticsSelectionDetailLabel->text();
    if (m_currentStatistic != NBStatisticNone) {
        if (reevaluate) {
            m_statisticPauseTimer->stop();
            QElapsedTimer timer;
            timer.start();
            setStatisticsButtonValue();
            m_lastStatisticMilliseconds = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        }
        if (!m_statisticsButton->rightCompontent().isEmpty())
            m_statisticsButton->setLeftComponent(
                statisticsLabelForType(m_currentStatistic, 1, false));
        const QString detail = NBAppResources::toQString(
            statisticsSelectionDetail(m_documentController->keyLineNumbers()));
        m_statisticsSelectionDetailLabel->setText(detail);
        if (detail.isEmpty()) m_statisticsSelectionDetailLabel->hide();
    } else {
        m_statisticsButton->setLeftComponent(QString());
    }
    m_statisticsButton->updateTitle();
    if (m_statisticsButton->text() != oldTitle ||
        m_statisticsSelectionDetailLabel->text() != oldDetail)
        repositionPopupButton();
}

QMenu* NBViewController::statsMenu() {
    createStatsMenu();
    updateStatisticsMenu();
    return m_statsMenu;
}

void NBViewController::createStatsMenu() {
    if (!m_statsMenu) {
        m_statsMenu = new QMenu(m_statisticsButton);
        m_statsMenu->setObjectName(QStringLiteral("Stats Menu"));
        m_statsMenu->setTitle(QStringLiteral("Stats Menu"));
        m_statsTitleAction = m_statsMenu->addAction(m_statisticsButton->text());
        m_statsTitleAction->setEnabled(false);
        m_statsTitleAction->setData(0);
        for (int32_t tag = NBStatisticTotal; tag <= NBStatisticStandardDeviation; ++tag) {
            QAction* action = m_statsMenu->addAction(QString());
            action->setData(tag);
            action->setCheckable(true);
            connect(action, &QAction::triggered, this, [this, tag] { selectStatistic(tag); });
            m_statisticActions.push_back(action);
        }
        m_statsMenu->addSeparator();
        m_copyStatisticAction = m_statsMenu->addAction(localized(u"Copy Selected Statistic"));
        connect(m_copyStatisticAction, &QAction::triggered, this,
                &NBViewController::copySelectedStatistic);
    }
}

void NBViewController::updateStatisticsMenu() {
    if (!m_statsMenu) return;
    QFont font = QApplication::font();
    font.setPointSize(13);
    m_statsTitleAction->setText(m_statisticsButton->text());
    for (QAction* action : m_statisticActions) {
        const int32_t tag = action->data().toInt();
        action->setText(statisticsLabelForType(tag, 2, false) + QStringLiteral(": ") +
                        statisticValueForType(tag, false));
        action->setChecked(tag == m_currentStatistic);
        action->setFont(font);
    }
    // Copying is offered only for a statistic with a value.
    m_copyStatisticAction->setText(
        localized(u"Copy %@")
            .replace(QStringLiteral("%@"), statisticsLabelForType(m_currentStatistic, 2, false)));
    m_copyStatisticAction->setFont(font);
    m_copyStatisticAction->setEnabled(!statisticValueForType(m_currentStatistic, false).isEmpty());
}

void NBViewController::repositionPopupButton() {
    if (!m_statisticsButton || !m_contentView) return;
    const int barTop = m_contentView->height() - kBottomBarHeight;
    QRect frame(QPoint(0, 0), m_statisticsButton->sizeHint());
    NBAnswerColumnView* answers = m_kettraView->answerColumn();
    const int answersX = answers->mapTo(m_contentView, QPoint(0, 0)).x();
    frame.moveTop(barTop + (kBottomBarHeight - frame.height()) / 2 + 1);
    if (m_statisticsButton->isShowingPlaceholder()) {
        // The placeholder waits at the answer column.
        frame.moveLeft(std::max(4, answersX - 5));
        m_statisticsButton->setGeometry(frame);
        m_statisticsSelectionDetailLabel->hide();
        return;
    }
    const int left = static_cast<int>(m_statisticsButton->leftComponentSize().width());
    const int delimiter = static_cast<int>(m_statisticsButton->deliniatorSize().width());
    // The value begins 5 points left of the answer column.
    const QRect target(answersX, barTop, answers->width() + left + delimiter, kBottomBarHeight - 1);
    frame.setWidth(std::min(frame.width(), target.width()));
    frame.moveLeft(std::max(0, answersX - left - delimiter - 5 - 6));
    if (!m_statisticsSelectionDetailLabel->text().isEmpty())
        repositionPopupButtonDetailForPopupButtonRect(frame);
    if (m_statisticsSelectionDetailLabel->isVisibleTo(m_contentView) &&
        frame.right() >= m_statisticsSelectionDetailLabel->x())
        frame.setRight(m_statisticsSelectionDetailLabel->x() - 1);
    m_statisticsButton->setGeometry(frame);
}

void NBViewController::repositionPopupButtonDetailForPopupButtonRect(QRect buttonRect) {
    QLabel* label = m_statisticsSelectionDetailLabel;
    label->adjustSize();
    // The button's own arrow ends it: the detail follows just after.
    int x = buttonRect.x() + buttonRect.width() + 2;
    if (x + label->width() > m_contentView->width() - 10)
        x = m_contentView->width() - 10 - label->width();
    label->move(x, buttonRect.y() + (buttonRect.height() - label->height()) / 2);
    label->setVisible(m_statisticsBarVisibile);
}
