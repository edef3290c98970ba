// The calculation text view: a QTextEdit in which each block is one document line. It hands
// pasteboard traffic and undo to its delegate (the text view controller), turns Shift+Return
// into Return, never scrolls sideways, and refuses a selection that does not lie in the text.
#ifndef NUMBERA_APP_NB_TEXT_VIEW_H
#define NUMBERA_APP_NB_TEXT_VIEW_H

#include <QMimeData>
#include <QStringList>
#include <QTextEdit>
#include <functional>
#include <map>
#include <memory>

#include "NSRange.h"

class NBTextViewMetrics;
class QKeyEvent;
class QMenu;

struct NBTextViewDelegate {
    virtual ~NBTextViewDelegate() = default;
    virtual QStringList supportedPasteboardTypes() const = 0;
    // Fills the data with the selection in every type it writes.
    virtual void writeSelectionToPasteboard(QMimeData& data) = 0;
    // The first supported type the data holds; false leaves the data to the view.
    virtual bool readSelectionFromPasteboard(const QMimeData& data) = 0;
    virtual void undo() = 0;
    virtual void redo() = 0;
    // Keys the delegate takes over (typing aids, keystroke replacements, Return on a token,
    // smart Backspace); false lets the view handle the key.
    virtual bool textViewKeyPress(QKeyEvent&) { return false; }
    // The name of the undo step the edits from now on make ("Typing", "Paste"); empty ends it.
    virtual void setPendingUndoActionName(const QString& /*name*/) {}
    // Typed text the view inserted itself, once it is in.
    virtual void insertTextFinished(const std::u16string& /*typed*/) {}
    // A key the open completion list takes (Return chooses): the view leaves it alone.
    virtual bool textViewLeavesKeyToCompletion(const QKeyEvent&) const { return false; }
    // A key combination the delegate wants before any shortcut of a menu.
    virtual bool textViewClaimsShortcut(const QKeyEvent&) { return false; }
    // The character under the mouse, -1 for none; a press on it (true: taken).
    virtual void textViewMouseMoved(int /*position*/) {}
    virtual bool textViewMousePress(int /*position*/, int /*clicks*/) { return false; }
    // What the token at the position shows, as assistive technology reads it.
    virtual QString textViewTokenTitle(int /*position*/) const { return {}; }
    // Items put in front of the view's own context menu for the clicked character.
    virtual void textViewContextMenu(QMenu&, int /*position*/) {}
};

// Clipboard data of the text whose costlier forms (rich text) are made only when a reader
// asks for them: Qt makes the primary selection's data on every change of the selection.
class NBTextMimeData : public QMimeData {
  public:
    using Maker = std::function<QByteArray()>;
    // The format is listed at once; its bytes are made on the first read, then kept.
    void setDataMaker(const QString& format, Maker maker);
    QStringList formats() const override;
    bool hasFormat(const QString& format) const override;

  protected:
    QVariant retrieveData(const QString& format, QMetaType type) const override;

  private:
    mutable std::map<QString, Maker> m_makers;
};

class NBTextView : public QTextEdit {
    Q_OBJECT

  public:
    explicit NBTextView(QWidget* parent = nullptr);
    ~NBTextView() override;

    // Attributes, margins and the metrics; sent by the controller when it takes the view.
    void setup();
    const std::shared_ptr<NBTextViewMetrics>& metricsInfo() const { return m_metrics; }
    NBTextViewDelegate* delegate() const { return m_delegate; }
    void setDelegate(NBTextViewDelegate* delegate) { m_delegate = delegate; }
    bool textIsBeingEdited() const { return m_textIsBeingEdited; }
    void setTextIsBeingEdited(bool edited) { m_textIsBeingEdited = edited; }
    // False, with a log line, for a range outside the text; the selection then stays.
    bool setSelectedRange(NSRange range);
    NSRange selectedRange() const;
    // Plain text of the clipboard, with line ends and thin spaces normalised.
    void insertPlainText(const QString& text);

    QStringList supportedPasteboardTypes() const;

    // The character drawn at a point of the viewport; -1 when the point is on none.
    int characterIndexAtPoint(const QPoint& point) const;

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void dropEvent(QDropEvent* event) override;

  private:
    std::shared_ptr<NBTextViewMetrics> m_metrics;
    NBTextViewDelegate* m_delegate = nullptr;
    bool m_textIsBeingEdited = false;
    bool m_dropping = false;
};

// "\r\n" and "\r" become "\n", thin spaces ordinary spaces, and Shift+Return's line separator
// a line break: each document line is one block.
QString NBNormalizedTextViewString(QString text);

#endif
