// Texts shown to the user, looked up by their English text. Without a hook the English text
// is the answer; the application installs one that reads its string tables.
#ifndef NUMBERA_PLATFORM_NSLOCALIZEDSTRING_H
#define NUMBERA_PLATFORM_NSLOCALIZEDSTRING_H

#include <functional>
#include <string>

using NSLocalizedStringHook = std::function<std::u16string(const std::u16string& key)>;

std::u16string NSLocalizedString(const std::u16string& key);
// An empty hook returns to the English text.
void NSSetLocalizedStringHook(NSLocalizedStringHook hook);

#endif
