// Key presses in the design's symbols: Ctrl is ⌘, Alt is ⌥, Meta is ⌃.
#include <gtest/gtest.h>

#include <QKeyEvent>

#include "NBKeyStroke.h"

namespace {

struct Row {
    const char* label;
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    std::u16string expected;
};

TEST(QtKeyStroke, QtModifiersMapToTheDesignsSymbols) {
    const Row rows[] = {
        {"Ctrl+Alt+K", Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, "\x0b", u"⌥⌘ k"},
        {"Meta+Alt+Ctrl+K", Qt::Key_K, Qt::MetaModifier | Qt::AltModifier | Qt::ControlModifier, "",
         u"⌃⌥⌘ k"},
        {"Meta+X", Qt::Key_X, Qt::MetaModifier, "", u"⌃ x"},
        {"Shift+Ctrl+K", Qt::Key_K, Qt::ShiftModifier | Qt::ControlModifier, "", u"⌘ K"},
        {"K alone", Qt::Key_K, Qt::NoModifier, "k", u"k"},
        {"Alt+7", Qt::Key_7, Qt::AltModifier, "7", u"⌥ 7"},
        {"Ctrl+Left has no characters", Qt::Key_Left, Qt::ControlModifier, "", u""},
        {"F5 has no characters", Qt::Key_F5, Qt::NoModifier, "", u""},
    };
    for (const Row& row : rows) {
        QKeyEvent event(QEvent::KeyPress, row.key, row.modifiers, row.text);
        EXPECT_EQ(NBKeyStroke::keyStrokeRepresentation(event), row.expected) << row.label;
    }
}

}  // namespace
