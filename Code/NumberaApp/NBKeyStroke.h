// Key presses in the design's terms: Ctrl stands for ⌘, Alt for ⌥ and Meta for ⌃, so stored
// key combinations keep the design's modifier bits.
#ifndef NUMBERA_APP_NB_KEY_STROKE_H
#define NUMBERA_APP_NB_KEY_STROKE_H

#include <string>

class QKeyEvent;

namespace NBKeyStroke {

// The characters the key gives without its modifiers: a letter key gives its lower-case
// letter (upper case with Shift); empty for keys without characters (arrows, function keys).
std::u16string charactersIgnoringModifiers(const QKeyEvent& event);
// "⌃⌥⌘ k" for Meta+Alt+Ctrl+K.
std::u16string keyStrokeRepresentation(const QKeyEvent& event);

}  // namespace NBKeyStroke

#endif
