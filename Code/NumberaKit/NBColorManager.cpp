#include "NBColorManager.h"

#include "NKLog.h"
#include "NKTextHelpers.h"
#include "NotificationCenter.h"

namespace {

// The "NBColors" array of a colour file; null (with the reason logged) when there is none.
std::shared_ptr<const NCPropertyListValue> colorsOfFile(const std::string& path) {
    std::string error;
    std::shared_ptr<const NCPropertyListValue> root =
        NCPropertyListValue::readFromFile(path, &error);
    if (!root) {
        NKLog("Colour file %s not read: %s", path.c_str(), error.c_str());
        return nullptr;
    }
    if (!root->isDictionary()) return nullptr;
    std::shared_ptr<const NCPropertyListValue> colors = root->valueForKey(u"NBColors");
    return colors && colors->isArray() ? colors : nullptr;
}

}  // namespace

NBColorManager& NBColorManager::sharedInstance() {
    static NBColorManager manager;
    return manager;
}

std::optional<NSColor> NBColorManager::colorForIdentifier(const std::u16string& identifier) const {
    for (const std::shared_ptr<NBColor>& entry : m_dataSource)
        if (entry->identifier() == identifier) return entry->color();
    return std::nullopt;
}

void NBColorManager::setColor(const NSColor& color, const std::u16string& identifier,
                              bool persistant) {
    for (const std::shared_ptr<NBColor>& entry : m_dataSource) {
        if (entry->identifier() != identifier) continue;
        entry->setColor(color);
        entry->setIsPersistant(persistant);
        NotificationCenter::defaultCenter().post(NBColorDidChange, this, entry);
        return;
    }
    auto entry = std::make_shared<NBColor>(color, identifier);
    entry->setIsPersistant(persistant);
    m_dataSource.push_back(entry);
}

void NBColorManager::loadDefaultsFromPath(const std::string& path) {
    std::shared_ptr<const NCPropertyListValue> colors = colorsOfFile(path);
    if (!colors) return;
    for (const auto& entry : colors->array())
        if (entry->isDictionary()) m_dataSource.push_back(NBColor::withDictionaryRep(*entry));
}

bool NBColorManager::loadColorsFromPath(const std::string& path) {
    std::shared_ptr<const NCPropertyListValue> colors = colorsOfFile(path);
    if (!colors) {
        NKLog("Warning: Could not load any colors from %s", path.c_str());
        return false;
    }
    for (const auto& entry : colors->array()) {
        if (!entry->isDictionary()) continue;
        std::shared_ptr<NBColor> loaded = NBColor::withDictionaryRep(*entry);
        setColor(*loaded->color(), loaded->identifier().value_or(u"Undefined"), true);
    }
    return true;
}

bool NBColorManager::saveColorsToPath(const std::string& path,
                                      const std::map<std::u16string, std::u16string>& info) const {
    namespace plf = PropertyListFile;
    PlistPtr colors = plf::array();
    for (const std::shared_ptr<NBColor>& entry : m_dataSource) {
        if (!entry->isPersistant()) continue;
        if (PlistPtr rep = entry->dictionaryRepresentation())
            plf::append(colors.get(), std::move(rep));
    }
    PlistPtr versionInfo = plf::dictionary();
    for (const auto& [key, value] : info)
        plf::set(versionInfo.get(), NKUTF8(key), plf::string(value));
    PlistPtr root = plf::dictionary();
    plf::set(root.get(), "NBColors", std::move(colors));
    plf::set(root.get(), "NBVersionInfo", std::move(versionInfo));
    NSError error;
    if (!plf::writeAtomically(path, root.get(), &error)) {
        NKLog("Warning: Could not save Colors datasource to a file");
        return false;
    }
    return true;
}

NSColor NBColorManager::colorWithRed(double red, double green, double blue, double alpha) {
    return sharedInstance().colorWithRedGreenBlueAlpha(red, green, blue, alpha);
}

NSColor NBColorManager::colorWithRedGreenBlueAlpha(double red, double green, double blue,
                                                   double alpha) {
    for (const std::shared_ptr<NBColor>& entry : m_dataSource) {
        std::optional<NSColor> color = entry->color();
        std::optional<NSColor> rgb =
            color ? color->colorUsingCalibratedRGBColorSpace() : std::nullopt;
        if (rgb && rgb->redComponent == red && rgb->greenComponent == green &&
            rgb->blueComponent == blue && rgb->alphaComponent == alpha)
            return *color;
    }
    NSColor color = NSColor::colorWithCalibratedRed(red, green, blue, alpha);
    setColor(color, u"Undefined", false);
    return color;
}
