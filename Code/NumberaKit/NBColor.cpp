#include "NBColor.h"

#include "NKLog.h"

namespace {

// Stored as single-precision floats; integers are accepted as well.
float componentOf(const NCPropertyListValue& entry, const char16_t* key) {
    std::shared_ptr<const NCPropertyListValue> value = entry.valueForKey(key);
    if (!value) return 0;
    switch (value->kind()) {
        case NCPropertyListValue::Kind::Real:
            return static_cast<float>(value->m_real);
        case NCPropertyListValue::Kind::Integer:
            return static_cast<float>(value->integer());
        default:
            return 0;
    }
}

}  // namespace

std::shared_ptr<NBColor> NBColor::withDictionaryRep(const NCPropertyListValue& entry) {
    auto color = std::make_shared<NBColor>();
    color->setColor(NSColor::colorWithCalibratedRed(
        componentOf(entry, u"redComponent"), componentOf(entry, u"greenComponent"),
        componentOf(entry, u"blueComponent"), componentOf(entry, u"alphaComponent")));
    std::shared_ptr<const NCPropertyListValue> identifier = entry.valueForKey(u"identifier");
    color->setIdentifier(identifier && identifier->isString() ? identifier->string()
                                                              : u"Undefined");
    return color;
}

std::optional<NSColor> NBColor::color() const {
    std::lock_guard<std::mutex> lock(m_colorMutex);
    return m_color;
}

void NBColor::setColor(std::optional<NSColor> color) {
    std::lock_guard<std::mutex> lock(m_colorMutex);
    m_color = color;
}

PlistPtr NBColor::dictionaryRepresentation() const {
    if (!m_persistant)
        NKLog("NBColor: Why do you want a dictionary rep when im not supposed to be persistant?");
    std::optional<NSColor> color = this->color();
    std::optional<NSColor> rgb = color ? color->colorUsingCalibratedRGBColorSpace() : std::nullopt;
    if (!rgb) {
        NKLog("Warning! The color could not be converted into an NSCalibratedRGBColorSpace");
        return nullptr;
    }
    namespace plf = PropertyListFile;
    PlistPtr entry = plf::dictionary();
    if (m_identifier) plf::set(entry.get(), "identifier", plf::string(*m_identifier));
    plf::set(entry.get(), "redComponent", plf::real(static_cast<float>(rgb->redComponent)));
    plf::set(entry.get(), "greenComponent", plf::real(static_cast<float>(rgb->greenComponent)));
    plf::set(entry.get(), "blueComponent", plf::real(static_cast<float>(rgb->blueComponent)));
    plf::set(entry.get(), "alphaComponent", plf::real(static_cast<float>(rgb->alphaComponent)));
    return entry;
}
