#include "NBMathKeyFieldEditor.h"

#include <QApplication>
#include <QKeyEvent>

#include "NBKeyStroke.h"

NBKeyEvent NBKeyEventFromKeyEvent(const QKeyEvent& event) {
    NBKeyEvent key;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & Qt::ControlModifier) key.modifierFlags |= NBEventModifierFlagCommand;
    if (modifiers & Qt::AltModifier) key.modifierFlags |= NBEventModifierFlagOption;
    if (modifiers & Qt::MetaModifier) key.modifierFlags |= NBEventModifierFlagControl;
    if (modifiers & Qt::ShiftModifier) key.modifierFlags |= NBEventModifierFlagShift;
    if (modifiers & Qt::KeypadModifier) key.modifierFlags |= NBEventModifierFlagNumericPad;
    key.characters = event.text().toStdU16String();
    key.charactersIgnoringModifiers = NBKeyStroke::charactersIgnoringModifiers(event);
    key.keyCode = static_cast<uint16_t>(event.nativeVirtualKey() & 0xFFFF);
    return key;
}

namespace {

bool endsEditing(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab ||
           key == Qt::Key_Backtab || key == Qt::Key_Escape;
}

bool isModifierOnly(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr || key == Qt::Key_CapsLock;
}

}  // namespace

NBMathKeyFieldEditor::NBMathKeyFieldEditor(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("mathKeyFieldEditor"));
    // Editing starts empty: nothing shows until a keystroke is captured.
    clear();
}

bool NBMathKeyFieldEditor::event(QEvent* event) {
    // Every combination is recorded, even one a menu uses.
    if (event->type() == QEvent::ShortcutOverride &&
        !endsEditing(static_cast<QKeyEvent*>(event)->key())) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void NBMathKeyFieldEditor::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        QApplication::beep();
        return;
    }
    if (endsEditing(key)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (isModifierOnly(key)) return;
    NBKeyEvent recorded = NBKeyEventFromKeyEvent(*event);
    if (recorded.charactersIgnoringModifiers.empty()) return;
    m_lastMeaningfulEvent = recorded;
    setText(QString::fromStdU16String(NBMathKey::desktopKeyStrokeText(recorded)));
    emit keyRecorded();
}
