// The pop-up of content languages for the preferences: "Automatic (…)", a separator, then the
// content bundle's languages in their menu order, each with its flag and tagged with its
// content-language number (the item's data).
#ifndef NUMBERA_APP_NB_CONTENT_LANGUAGE_MENU_H
#define NUMBERA_APP_NB_CONTENT_LANGUAGE_MENU_H

#include <QIcon>
#include <string>
#include <vector>

#include "NBLocalizationHelper.h"

class QComboBox;

namespace NBContentLanguageMenu {

// The flag image "Images/<code>.svg" of the resources; a null icon when there is none.
QIcon flagImageForLanguage(const std::string& code);
// Replaces the box's items; none is selected.
void fill(QComboBox* box, const std::vector<ContentLanguageMenuItem>& items);
void fill(QComboBox* box);
// Selects the item tagged with the language; false when there is none.
bool selectLanguage(QComboBox* box, int64_t contentLanguage);

}  // namespace NBContentLanguageMenu

#endif
