// A text edit and an answer column side by side, as the document window places them, over a
// line collection loaded from the same texts; the environment is loaded once per test.
#ifndef NUMBERA_TESTS_APP_ANSWER_COLUMN_TEST_SUPPORT_H
#define NUMBERA_TESTS_APP_ANSWER_COLUMN_TEST_SUPPORT_H

#include <QEvent>
#include <QHBoxLayout>
#include <QRegion>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>
#include <memory>
#include <vector>

#include "AppTestFixture.h"
#include "NBAnswerColumnController.h"
#include "NBAnswerColumnView.h"
#include "NBEnvironmentController.h"
#include "NCLineCollection.h"

// Counts the paint events a widget receives and keeps their regions.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;
    QRegion region;
    void reset() {
        count = 0;
        region = QRegion();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

struct AnswerColumnRig {
    // Lines joined by line breaks; every block gets the paragraph spacing under it.
    AnswerColumnRig(const QStringList& texts, QSize size, double fontSize = 18);

    // Puts the collection in step with the text again after the test edits it.
    void reloadLines();
    void setFontSize(double points);
    // Scrolls the text, then lets the column repaint.
    void scrollTo(int value);
    // The top of the block of the row, read from the text's caret rectangle, in the column.
    double blockTopInColumn(int row) const;
    // The text of the row as the column draws it.
    QString rowText(uint64_t row) const;

    QWidget window;
    QTextEdit* text = nullptr;
    NBAnswerColumnView* column = nullptr;
    NBAnswerColumnController controller;
    std::shared_ptr<NCLineCollection> lines;
};

class AnswerColumnTest : public AppTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<NBEnvironmentController> m_environment;
};

// Eighty lines of every kind: numbers, units, errors, words, empty lines, long lines that wrap
// at a narrow width.
QStringList variedLines(int count);

#endif
