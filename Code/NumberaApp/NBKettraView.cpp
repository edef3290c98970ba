#include "NBKettraView.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <sstream>

#include "Diagnostics.h"
#include "ESScrollView.h"
#include "NBAnswerColumnView.h"
#include "NBInvisibleScroller.h"
#include "NBNumberLineView.h"
#include "NBSplitView.h"
#include "NBTextAttributes.h"
#include "NBTextView.h"
#include "NotificationCenter.h"

NBKettraView::NBKettraView(QWidget* parent)
    : QWidget(parent),
      m_numberLineView(new NBNumberLineView(this)),
      m_splitView(new NBSplitView(this)),
      m_textView(new NBTextView(m_splitView)),
      m_answerColumn(new NBAnswerColumnView),
      m_answerScrollView(new ESScrollView(m_answerColumn, m_splitView)) {
    setObjectName(QStringLiteral("kettraView"));
    m_answerScrollView->setObjectName(QStringLiteral("answerColumnScrollView"));
    setMinimumLength(kTextMinimumWidth, 0);
    setMinimumLength(kAnswerColumnMinimumWidth, 1);
    m_splitView->addWidget(m_textView);
    m_splitView->addWidget(m_answerScrollView);
    // The answer column keeps its width: the text takes up what the window gains or loses.
    m_splitView->setStretchFactor(0, 1);
    m_splitView->setStretchFactor(1, 0);
    m_splitView->setSizes({400, defaultAnswerColumnWidth()});
    m_numberLineView->setTextView(m_textView);
    m_numberLineView->hide();
    setupSyncedScrollViews();
    layoutPanes();
}

int NBKettraView::defaultAnswerColumnWidth() {
    const QFontMetricsF metrics(NBTextAttributes::defaultTextViewFont());
    double widest = 0;
    for (const char* answer : {"Error: Divide by Zero", "1,080 kilometers"})
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromLatin1(answer)));
    // The cell's inset, the room of the palette's info button and a little air.
    const int width = static_cast<int>(std::ceil(widest)) + 5 + 25 + 6;
    return std::clamp(width, NBAnswerColumnView::kDefaultWidth, NBAnswerColumnView::kMaximumWidth);
}

QSize NBKettraView::defaultWindowSize() {
    return QSize(640 - NBAnswerColumnView::kDefaultWidth + defaultAnswerColumnWidth(), 480);
}

int NBKettraView::answerColumnWidth() const { return m_answerScrollView->width(); }

void NBKettraView::setAnswerColumnWidth(int width) {
    width = std::clamp(width, static_cast<int>(minimumLength(1)),
                       static_cast<int>(NBAnswerColumnView::kMaximumWidth));
    const int total = m_splitView->width() - m_splitView->handleWidth();
    if (!isVisible() || total <= 0) {
        // Not laid out yet: the text takes up whatever the window turns out to give.
        m_splitView->setSizes({400, width});
        return;
    }
    const int text = std::max(static_cast<int>(minimumLength(0)), total - width);
    m_splitView->setSizes({text, std::max(total - text, 0)});
    answerColumnChangedSize();
}

NBKettraView::~NBKettraView() {
    m_answerColumn->removeEventFilter(this);
    m_numberLineView->setTextView(nullptr);
}

QScrollBar* NBKettraView::answerScroller() const { return m_answerScrollView->verticalScroller(); }

void NBKettraView::setMinimumLength(double length, int viewIndex) {
    m_lengthsByViewIndex[viewIndex] = length;
    if (QWidget* pane = m_splitView->widget(viewIndex))
        pane->setMinimumWidth(static_cast<int>(length));
    else if (viewIndex == 0)
        m_textView->setMinimumWidth(static_cast<int>(length));
    else if (viewIndex == 1)
        m_answerScrollView->setMinimumWidth(static_cast<int>(length));
    updateGeometry();
}

double NBKettraView::minimumLength(int viewIndex) const {
    const auto found = m_lengthsByViewIndex.find(viewIndex);
    return found == m_lengthsByViewIndex.end() ? 0 : found->second;
}

void NBKettraView::setupSyncedScrollViews() {
    // The text and the numbers scroll without a scroller of their own.
    m_textView->setVerticalScrollBar(new NBInvisibleScroller(m_textView));
    m_textView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_textView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScrollBar* text = m_textView->verticalScrollBar();
    connect(text, &QScrollBar::rangeChanged, this, &NBKettraView::textScrollerRangeChanged);
    connect(text, &QScrollBar::valueChanged, this, &NBKettraView::textScrolled);
    connect(answerScroller(), &QScrollBar::valueChanged, this, &NBKettraView::answersScrolled);
    textScrollerRangeChanged(text->minimum(), text->maximum());
    // The wheel over the answers scrolls the text they follow.
    m_answerColumn->installEventFilter(this);
    connect(m_splitView, &NBSplitView::didStartResizing, this,
            [this] { setSyncronisesScrollViews(false); });
    connect(m_splitView, &NBSplitView::didFinishResizing, this, [this] {
        setSyncronisesScrollViews(true);
        syncroniseToView(m_textView);
        NotificationCenter::defaultCenter().post(NBKettraViewDidFinishResizing, this);
    });
    connect(m_splitView, &QSplitter::splitterMoved, this, &NBKettraView::answerColumnChangedSize);
}

void NBKettraView::textScrollerRangeChanged(int minimum, int maximum) {
    QScrollBar* text = m_textView->verticalScrollBar();
    QScrollBar* answers = answerScroller();
    m_mirroring = true;
    answers->setRange(minimum, maximum);
    answers->setPageStep(text->pageStep());
    answers->setSingleStep(text->singleStep());
    if (syncronisesScrollViews()) answers->setValue(text->value());
    m_mirroring = false;
}

void NBKettraView::textScrolled(int value) {
    if (m_mirroring || !syncronisesScrollViews()) return;
    m_mirroring = true;
    answerScroller()->setValue(value);
    m_mirroring = false;
}

void NBKettraView::answersScrolled(int value) {
    if (m_mirroring || !syncronisesScrollViews()) return;
    m_mirroring = true;
    m_textView->verticalScrollBar()->setValue(value);
    m_mirroring = false;
}

void NBKettraView::syncroniseToView(QWidget* view) {
    QScrollBar* text = m_textView->verticalScrollBar();
    QScrollBar* answers = answerScroller();
    m_mirroring = true;
    if (view == m_answerColumn || view == m_answerScrollView || view == answers) {
        if (text->value() != answers->value()) text->setValue(answers->value());
    } else if (view == m_textView || view == m_numberLineView) {
        if (answers->value() != text->value()) answers->setValue(text->value());
    } else {
        Diagnostics::error("Warning! Syncronising Scroll Views Failure 1");
    }
    m_mirroring = false;
}

void NBKettraView::setSyncronisesScrollViews(bool synchronises) {
    m_ignoreBoundsDidChangeNotifications = !synchronises;
}

void NBKettraView::answerColumnChangedSize() {
    NotificationCenter::defaultCenter().post(NBAnswerColumnChangedSize, m_answerColumn);
}

bool NBKettraView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_answerColumn && event->type() == QEvent::Wheel) {
        QCoreApplication::sendEvent(m_textView->verticalScrollBar(), event);
        return true;
    }
    if (watched == m_answerColumn && event->type() == QEvent::Resize) answerColumnChangedSize();
    return QWidget::eventFilter(watched, event);
}

QRect NBKettraView::numberLineFrame(bool shown) const {
    const int width = m_numberLineView->width();
    return QRect(shown ? 0 : -width, 0, width, height());
}

QRect NBKettraView::splitViewFrame(bool shown) const {
    const int left = shown ? m_numberLineView->width() : 0;
    return QRect(left, 0, std::max(0, this->width() - left), height());
}

void NBKettraView::setNumberLineShown(bool shown, bool layoutNow) {
    m_numberLineShown = shown;
    if (shown) m_numberLineView->show();
    if (layoutNow) layoutPanes();
    updateGeometry();
}

void NBKettraView::layoutPanes() {
    m_numberLineView->setGeometry(numberLineFrame(m_numberLineShown));
    m_numberLineView->setVisible(m_numberLineShown);
    m_splitView->setGeometry(splitViewFrame(m_numberLineShown));
}

void NBKettraView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutPanes();
}

QSize NBKettraView::minimumSizeHint() const {
    // Narrower than both minimums and the divider, the split could not keep them: the
    // window stops there.
    const int numbers = m_numberLineShown ? m_numberLineView->width() : 0;
    return QSize(numbers + static_cast<int>(minimumLength(0) + minimumLength(1)) +
                     m_splitView->handleWidth(),
                 60);
}

QSize NBKettraView::sizeHint() const { return QSize(600, 400); }

void NBKettraView::printDebugInfo() const {
    std::ostringstream info;
    const auto frame = [&](const char* name, const QWidget* widget) {
        const QRect r = widget->geometry();
        info << name << " frame (" << r.x() << ", " << r.y() << ", " << r.width() << ", "
             << r.height() << ")\n";
    };
    if (window()) info << "Window " << window()->windowTitle().toStdString() << "\n";
    frame("Window", window());
    frame("Text", m_textView);
    info << "Text scroll " << m_textView->verticalScrollBar()->value() << " of "
         << m_textView->verticalScrollBar()->maximum() << "\n";
    frame("Answers", m_answerScrollView);
    info << "Answers scroll " << answerScroller()->value() << "\n";
    frame("Numbers", m_numberLineView);
    Diagnostics::error(info.str());
}
