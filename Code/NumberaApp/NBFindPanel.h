// The find panel of the text, as the platform gives every text view: one small window for the
// application, looking in the text of the document window in front. Find Next and Find
// Previous go on with the last text looked for, from the selection, round the end.
#ifndef NUMBERA_APP_NB_FIND_PANEL_H
#define NUMBERA_APP_NB_FIND_PANEL_H

#include <QDialog>
#include <QPointer>
#include <functional>

class QLabel;
class QLineEdit;
class QTextEdit;

class NBFindPanel : public QDialog {
    Q_OBJECT

  public:
    // `textOfFront` answers the text view of the document in front (null without one).
    explicit NBFindPanel(std::function<QTextEdit*()> textOfFront, QWidget* parent = nullptr);

    // Shows the panel over the document in front, the text looked for selected; a selection
    // in the text becomes the text looked for.
    void showPanel();
    // Selects the next (or previous) occurrence in the front text; false, with a beep, when
    // there is none (or nothing to look for).
    bool findNext();
    bool findPrevious();
    QString findString() const;
    void setFindString(const QString& text);

  private:
    bool find(bool backwards);

    std::function<QTextEdit*()> m_textOfFront;
    QLineEdit* m_field;
    QLabel* m_status;
};

#endif
