#include "NBKeyStroke.h"

#include <QKeyEvent>

#include "NBAppResources.h"
#include "NBInterfaceRules.h"

namespace NBKeyStroke {

std::u16string charactersIgnoringModifiers(const QKeyEvent& event) {
    const int key = event.key();
    const bool shift = event.modifiers() & Qt::ShiftModifier;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        const char16_t letter = static_cast<char16_t>((shift ? u'A' : u'a') + (key - Qt::Key_A));
        return std::u16string(1, letter);
    }
    // Printable keys are their own character codes; the others lie at 0x01000000 and above.
    if (key > 0x20 && key < 0x01000000 && key <= 0xFFFF)
        return std::u16string(1, static_cast<char16_t>(key));
    if (key == Qt::Key_Space) return u" ";
    const QString text = event.text();
    if (!text.isEmpty() && text.at(0).isPrint()) return NBAppResources::toU16(text);
    return {};
}

std::u16string keyStrokeRepresentation(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    return ::keyStrokeRepresentation(modifiers & Qt::MetaModifier, modifiers & Qt::AltModifier,
                                     modifiers & Qt::ControlModifier,
                                     charactersIgnoringModifiers(event));
}

}  // namespace NBKeyStroke
