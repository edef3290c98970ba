// The font of the settings registration: for an interface language whose script the
// default text font cannot draw, a font that can draw its example text, at 16 points.
#ifndef NUMBERA_APP_NB_DEFAULT_FONT_CHOOSER_H
#define NUMBERA_APP_NB_DEFAULT_FONT_CHOOSER_H

#include <QFont>
#include <optional>
#include <string>

namespace NBDefaultFontChooser {

// The description (QFont::toString()) of a font that draws the first five characters of the
// example, when the given font cannot draw all of the example; none otherwise, and none when
// no installed font can.
std::optional<std::u16string> fontForExampleString(const std::u16string& example,
                                                   const QFont& defaultFont);
// The same against the default text font; what the settings registration is given.
std::optional<std::u16string> defaultFontForExampleString(const std::u16string& example);

}  // namespace NBDefaultFontChooser

#endif
