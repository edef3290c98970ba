#include "NBContentLanguageMenu.h"

#include <QComboBox>

#include "NBAppResources.h"

namespace NBContentLanguageMenu {

QIcon flagImageForLanguage(const std::string& code) {
    if (code.empty()) return {};
    if (auto path = NBAppResources::pathForResource(code, "svg", std::nullopt, "Images"))
        return QIcon(*path);
    return {};
}

void fill(QComboBox* box, const std::vector<ContentLanguageMenuItem>& items) {
    box->clear();
    for (const ContentLanguageMenuItem& item : items) {
        if (item.isSeparator) {
            box->insertSeparator(box->count());
            continue;
        }
        box->addItem(flagImageForLanguage(item.flagImageName),
                     NBAppResources::toQString(item.title),
                     QVariant::fromValue<qlonglong>(item.tag));
    }
    box->setCurrentIndex(-1);
}

void fill(QComboBox* box) { fill(box, NBLocalizationHelper::menuOfAvailableContentLanguages()); }

bool selectLanguage(QComboBox* box, int64_t contentLanguage) {
    const int index = box->findData(QVariant::fromValue<qlonglong>(contentLanguage));
    if (index < 0) return false;
    box->setCurrentIndex(index);
    return true;
}

}  // namespace NBContentLanguageMenu
