// The panes of a document window side by side: the calculation text on the left, the answer
// column on the right, split by a divider the user drags. The column keeps its width when the
// window is resized.
#ifndef NUMBERA_APP_NB_KETTRA_VIEW_H
#define NUMBERA_APP_NB_KETTRA_VIEW_H

#include <QSplitter>

class NBAnswerColumnView;
class NBTextView;

class NBKettraView : public QSplitter {
    Q_OBJECT

  public:
    explicit NBKettraView(QWidget* parent = nullptr);

    NBTextView* textView() const { return m_textView; }
    NBAnswerColumnView* answerColumn() const { return m_answerColumn; }

  private:
    NBTextView* m_textView;
    NBAnswerColumnView* m_answerColumn;
};

#endif
