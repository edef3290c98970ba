// Showing and hiding the statistics bar, the formatting bar and the line numbers. The two
// bars inside the window slide the panes over 0.3 seconds when asked to animate; scrolling
// stays unsynchronised until a slide ends.
#include <QLabel>
#include <QMainWindow>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>

#include "Diagnostics.h"
#include "NBColoredLine.h"
#include "NBDocumentController.h"
#include "NBFormattingBarView.h"
#include "NBKettraView.h"
#include "NBLineFormattingController.h"
#include "NBNumberLineView.h"
#include "NBSplitView.h"
#include "NBTextView.h"
#include "NBTotalsPopupButton.h"
#include "NBViewController.h"
#include "NotificationCenter.h"

bool NBViewController::isAnimatingFormattingBar() const {
    return m_formattingBarAnimation &&
           m_formattingBarAnimation->state() == QAbstractAnimation::Running;
}

bool NBViewController::isAnimatingNumberLine() const {
    return m_numberLineAnimation && m_numberLineAnimation->state() == QAbstractAnimation::Running;
}

void NBViewController::setStatisticsBarVisible(bool visible, bool) {
    if (visible == m_statisticsBarVisibile) {
        Diagnostics::errorf(
            "Warning: %s [Line %d] Stats Bar already in requested visibility state",
            "-[NBViewController(ViewToggling) setStatisticsBarVisible:withAnimation:]", 35);
        return;
    }
    m_statisticsBarVisibile = visible;
    updateStatsButtonWithReevaluation(true);
    m_statisticsButton->setVisibleWithValue(visible);
    m_statisticsButton->setVisible(visible);
    if (!visible) m_statisticsSelectionDetailLabel->hide();
    m_bottomBarGrooveLine->setVisible(visible);
    m_contentView->updateGeometry();
    // The text keeps its size: the window grows or shrinks by the bar.
    resizeWindowBy(visible ? kBottomBarHeight : -kBottomBarHeight);
    if (visible) repositionPopupButton();
    storeViewInfo();
}

void NBViewController::setFormattingBarVisible(bool visible, bool animate) {
    if (visible == m_formattingBarVisible)
        Diagnostics::errorf(
            "Warning: %s [Line %d] Formatting bar already in requested visibility state",
            "-[NBViewController(ViewToggling) setFormattingBarVisible:withAnimation:]", 88);
    if (isAnimatingFormattingBar()) {
        NotificationCenter::defaultCenter().post(NBFormattingBarWasToggled, this);
        return;
    }
    m_formattingBarVisible = visible;
    QWidget* bar = m_formattingBarController->view();
    const int barHeight = static_cast<int>(m_formattingBarController->formattingBarHeight());
    const int bottom = m_statisticsBarVisibile ? kBottomBarHeight : 0;
    const int top = visible ? barHeight : 0;
    const QRect target(0, top, m_contentView->width(),
                       std::max(0, m_contentView->height() - top - bottom));
    if (visible) {
        bar->setGeometry(0, 0, m_contentView->width(), barHeight);
        bar->show();
        m_formattingBarController->hideViewsIfNecessary();
    }
    m_contentView->updateGeometry();
    if (animate) {
        auto* animation = new QPropertyAnimation(m_kettraView, "geometry", this);
        animation->setDuration(kAnimationMilliseconds);
        animation->setStartValue(m_kettraView->geometry());
        animation->setEndValue(target);
        m_kettraView->setSyncronisesScrollViews(false);
        connect(animation, &QAbstractAnimation::finished, this,
                [this, animation] { animationDidEnd(animation); });
        m_formattingBarAnimation = animation;
        animation->start(QAbstractAnimation::DeleteWhenStopped);
    } else {
        m_kettraView->setGeometry(target);
        if (!visible) bar->hide();
    }
    storeViewInfo();
    NotificationCenter::defaultCenter().post(NBFormattingBarWasToggled, this);
}

void NBViewController::setLineNumbersVisible(bool visible, bool animate) {
    if (visible == numberLineVisibile()) {
        Diagnostics::errorf(
            "Warning: %s [Line %d] Number line already in requested visibility state",
            "-[NBViewController(ViewToggling) setLineNumbersVisible:withAnimation:]", 146);
        return;
    }
    if (isAnimatingNumberLine()) return;
    m_numberLineController->sizeNumberLineToFit();
    m_numberLineController->setNumberLineVisibile(visible);
    if (animate) {
        NBNumberLineView* numbers = numberLineView();
        const QRect numbersFrom = m_kettraView->numberLineFrame(!visible);
        const QRect splitFrom = m_kettraView->splitViewFrame(!visible);
        m_kettraView->setNumberLineShown(visible, false);
        numbers->show();
        auto* group = new QParallelAnimationGroup(this);
        const auto slide = [group](QWidget* widget, QRect from, QRect to) {
            auto* animation = new QPropertyAnimation(widget, "geometry", group);
            animation->setDuration(kAnimationMilliseconds);
            animation->setStartValue(from);
            animation->setEndValue(to);
            group->addAnimation(animation);
        };
        slide(numbers, numbersFrom, m_kettraView->numberLineFrame(visible));
        QWidget* split = m_kettraView->splitView();
        slide(split, splitFrom, m_kettraView->splitViewFrame(visible));
        m_kettraView->setSyncronisesScrollViews(false);
        connect(group, &QAbstractAnimation::finished, this,
                [this, group] { animationDidEnd(group); });
        m_numberLineAnimation = group;
        group->start(QAbstractAnimation::DeleteWhenStopped);
    } else {
        m_kettraView->setNumberLineShown(visible, true);
    }
    m_contentView->updateGeometry();
    storeViewInfo();
    NotificationCenter::defaultCenter().post(NBNumberLineWasToggled, this);
}

void NBViewController::animationDidEnd(QAbstractAnimation* animation) {
    if (animation == m_numberLineAnimation) {
        m_kettraView->layoutPanes();
        relayoutCellsIfNecessary();
    } else if (animation == m_formattingBarAnimation) {
        if (!m_formattingBarVisible) m_formattingBarController->view()->hide();
        layoutContent();
        NotificationCenter::defaultCenter().post(NBFormattingBarWasToggled, this);
    }
    m_kettraView->setSyncronisesScrollViews(true);
    m_kettraView->textView()->ensureCursorVisible();
    m_kettraView->syncroniseToView(m_kettraView->textView());
}
