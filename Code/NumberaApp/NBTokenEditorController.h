// The pop-up token editor: a small window hanging below a token, in which the reference is
// chosen by line number ("Line") or by offset from the token's own line ("Offset"). The
// stepper never lands on the token's own line. Escape, Return and the window losing focus
// save; the controller's delegate (the text view controller) applies each change.
#ifndef NUMBERA_APP_NB_TOKEN_EDITOR_CONTROLLER_H
#define NUMBERA_APP_NB_TOKEN_EDITOR_CONTROLLER_H

#include <QObject>
#include <QPointer>
#include <QSpinBox>
#include <QWidget>
#include <cstdint>
#include <map>
#include <string>

#include "NBTextAttachment.h"

class NBTokenEditorController;
class QButtonGroup;
class QPainterPath;
class QResizeEvent;
class QLabel;
class QToolButton;

struct NBTokenEditorControllerDelegate {
    virtual ~NBTokenEditorControllerDelegate() = default;
    virtual void tokenEditorDidModifyType(NBTokenEditorController&, int32_t /*oldType*/,
                                          int32_t /*newType*/) {}
    virtual void tokenEditorDidModifyReferenceIndex(NBTokenEditorController&, int64_t /*oldIndex*/,
                                                    int64_t /*newIndex*/) {}
    virtual void tokenEditorDidFinishEditingToken(NBTokenEditorController&) {}
};

// The field and stepper: stepping goes through the controller, which skips the own line.
class NBTokenReferenceField : public QSpinBox {
    Q_OBJECT
  public:
    explicit NBTokenReferenceField(QWidget* parent = nullptr);
    std::function<void(int steps)> onStep;
    void stepBy(int steps) override;
};

// The editor's window: frameless, it can take the focus; losing it saves.
class NBTokenEditor : public QWidget {
    Q_OBJECT
  public:
    explicit NBTokenEditor(QWidget* parent = nullptr);
    std::function<void()> onResignKey;
    std::function<void()> onEscape;

    // Where the pointer meets the token: its x in the editor, and whether it points up from
    // the editor's top (the editor below the token) or down from its bottom.
    void setPointer(int x, bool up);
    // The outline: a rounded body with the pointer. Also the window's mask, so that without
    // a compositor what lies around the pointer shows instead of black.
    QPainterPath shape() const;

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void updateMask();

    int m_pointerX = -1;
    bool m_pointerUp = true;
};

class NBTokenEditorController : public QObject {
    Q_OBJECT

  public:
    explicit NBTokenEditorController(QObject* parent = nullptr);
    ~NBTokenEditorController() override;

    void setDelegate(NBTokenEditorControllerDelegate* delegate) { m_delegate = delegate; }
    // Shows the editor with its top centre at the point (global coordinates), for the token
    // at the position of the text on its line.
    // The editor stays wholly on the view's screen: near an edge it moves in, its pointer
    // still on the token, and near the bottom it opens above the token, `tokenHeight` up.
    void displayEditorForToken(const NBTextAttachment& attachment, int position, uint64_t onLine,
                               const QPoint& globalPoint, QWidget* view, int tokenHeight = 0);
    void hideTokenEditor();
    bool editorIsVisible() const;
    void save();
    void cancel();

    // The token as edited now.
    const NBTextAttachment& representedTextAttachment() const { return m_attachment; }
    int representedPosition() const { return m_position; }
    uint64_t tokenLineIndex() const { return m_tokenLineIndex; }
    int32_t textAttachmentType() const { return m_attachment.type; }
    void setTextAttachmentType(int32_t type);
    // A line number from 1 for type 2, the offset for type 3.
    int64_t referenceIndex() const { return m_referenceIndex; }
    void setReferenceIndex(int64_t value);
    void stepperAction(int steps);
    int64_t offsetForAbsoluteLineIndex(int64_t index) const {
        return index - static_cast<int64_t>(m_tokenLineIndex);
    }
    int64_t absoluteLineIndexForOffset(int64_t offset) const {
        return offset + static_cast<int64_t>(m_tokenLineIndex);
    }
    NBTokenEditor* tokenEditor() const { return m_editor; }
    NBTokenReferenceField* referenceField() const { return m_field; }

  private:
    void makeEditor();
    void refreshShownIndex();
    void relabel();

    NBTokenEditorControllerDelegate* m_delegate = nullptr;
    QPointer<NBTokenEditor> m_editor;
    NBTokenReferenceField* m_field = nullptr;
    QToolButton* m_lineButton = nullptr;
    QToolButton* m_offsetButton = nullptr;
    QButtonGroup* m_typeGroup = nullptr;
    QLabel* m_offsetLabel = nullptr;
    NBTextAttachment m_attachment;
    NBTextAttachment m_revertState;
    int m_position = -1;
    uint64_t m_tokenLineIndex = 0;
    int64_t m_referenceIndex = 0;
    bool m_refreshing = false;
};

#endif
