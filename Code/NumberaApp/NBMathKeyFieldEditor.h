// Recording a key combination for a keystroke replacement: the field editor captures the next
// key press instead of typing it and shows it in readable form. Delete only beeps (a
// keystroke cannot be deleted); Return and Tab end the editing.
#ifndef NUMBERA_APP_NB_MATH_KEY_FIELD_EDITOR_H
#define NUMBERA_APP_NB_MATH_KEY_FIELD_EDITOR_H

#include <QLineEdit>
#include <optional>

#include "NBMathKey.h"

class QKeyEvent;

// The key press in the stored form: Ctrl as ⌘, Alt as ⌥, Meta as ⌃, Shift as ⇧; Caps Lock and
// AltGr leave no bit.
NBKeyEvent NBKeyEventFromKeyEvent(const QKeyEvent& event);

class NBMathKeyFieldEditor : public QLineEdit {
    Q_OBJECT

  public:
    explicit NBMathKeyFieldEditor(QWidget* parent = nullptr);

    // The last key press captured; none before one was.
    const std::optional<NBKeyEvent>& lastMeaningfulEvent() const { return m_lastMeaningfulEvent; }

  signals:
    void keyRecorded();

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::optional<NBKeyEvent> m_lastMeaningfulEvent;
};

#endif
