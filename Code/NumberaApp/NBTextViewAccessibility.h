// What assistive technology reads of the calculation text: the text itself, and each line
// reference token in it as an element of its own ("Answer Token"), whose title is what the
// token shows. Qt's own interface of a text edit sees a token as one object character only.
#ifndef NUMBERA_APP_NB_TEXT_VIEW_ACCESSIBILITY_H
#define NUMBERA_APP_NB_TEXT_VIEW_ACCESSIBILITY_H

#include <QAccessibleWidget>
#include <QPointer>
#include <map>

class NBTextView;

// Installs the factory that gives every NBTextView this interface; once per process.
void NBInstallTextViewAccessibility();

class NBTextViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit NBTextViewAccessible(NBTextView* view);
    ~NBTextViewAccessible() override;

    QAccessible::State state() const override;
    QString text(QAccessible::Text type) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;
    // The tokens, in the order of the text.
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    // QAccessibleTextInterface, in the text's positions (a token is one character, U+FFFC).
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // The token's element at a position of the text; made once and kept until the text
    // changes.
    QAccessibleInterface* tokenAt(int position) const;

  private:
    NBTextView* view() const;
    std::vector<int> tokenPositions() const;
    void forgetTokens();

    mutable std::map<int, QAccessible::Id> m_tokens;
    QMetaObject::Connection m_textChanged;
};

class NBTokenAccessible : public QAccessibleInterface {
  public:
    NBTokenAccessible(NBTextView* view, int position);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override;

    int position() const { return m_position; }

  private:
    QPointer<NBTextView> m_view;
    int m_position;
};

#endif
