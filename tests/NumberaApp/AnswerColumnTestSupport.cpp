#include "AnswerColumnTestSupport.h"

#include <QPaintEvent>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include "NBAppResources.h"
#include "NCLine.h"

bool PaintCounter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) {
        ++count;
        region += static_cast<QPaintEvent*>(event)->region();
    }
    return QObject::eventFilter(watched, event);
}

AnswerColumnRig::AnswerColumnRig(const QStringList& texts, QSize size, double fontSize) {
    auto* layout = new QHBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    text = new QTextEdit(&window);
    text->setLineWrapMode(QTextEdit::WidgetWidth);
    column = new NBAnswerColumnView(&window);
    column->setFixedWidth(NBAnswerColumnView::kDefaultWidth);
    layout->addWidget(text, 1);
    layout->addWidget(column);
    text->setPlainText(texts.join('\n'));
    setFontSize(fontSize);
    QTextCursor all(text->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat spacing;
    spacing.setBottomMargin(10);
    all.mergeBlockFormat(spacing);
    reloadLines();
    controller.setAnswersColumn(column);
    column->setTextView(text);
    window.resize(size);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    pumpEventsFor(20);
}

void AnswerColumnRig::reloadLines() {
    lines = std::make_shared<NCLineCollection>();
    lines->beginBatchUpdate();
    for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next())
        lines->addLine(NCLine::lineWithExpressionString(NBAppResources::toU16(block.text())));
    lines->endBatchUpdate();
    lines->evaluateLines();
    controller.setLineCollection(lines);
}

void AnswerColumnRig::setFontSize(double points) {
    QFont font = text->document()->defaultFont();
    font.setPointSizeF(points);
    text->document()->setDefaultFont(font);
}

void AnswerColumnRig::scrollTo(int value) {
    text->verticalScrollBar()->setValue(value);
    pumpEventsFor(20);
}

double AnswerColumnRig::blockTopInColumn(int row) const {
    const QTextBlock block = text->document()->findBlockByNumber(row);
    const QRect caret = text->cursorRect(QTextCursor(block));
    const QPoint inWindow = text->viewport()->mapTo(&window, caret.topLeft());
    return column->mapFrom(&window, inWindow).y();
}

QString AnswerColumnRig::rowText(uint64_t row) const {
    return NBAppResources::toQString(
        column->dataSource()->objectValueForRow(*column, row).string());
}

void AnswerColumnTest::SetUp() {
    AppTest::SetUp();
    m_environment = std::make_unique<NBEnvironmentController>(resourcesFolder().toStdString(),
                                                              dataFolder().toStdString());
    m_environment->loadEnvironment();
    m_environment->completeLoading();
}

void AnswerColumnTest::TearDown() {
    pumpEventsFor(10);
    m_environment.reset();
    AppTest::TearDown();
}

QStringList variedLines(int count) {
    const QStringList kinds = {
        "2+3",
        "price = 12.50 * 4",
        "Groceries for the week, bought at the market on Saturday morning: 3 apples, 2 "
        "loaves of bread and a large bag of rice = 3 + 2 + 1",
        "",
        "1/0",
        "3 m + 2 kg",
        "45 km in miles",
        "Weekly shopping list",
        "sqrt(2)",
        "1000000 * 3.75",
        "2^64",
        "price * 2",
        "(-3)!",
        "pi * 4^2",
        "7 % of 250",
    };
    QStringList lines;
    for (int i = 0; i < count; ++i) lines << kinds[i % kinds.size()];
    return lines;
}
