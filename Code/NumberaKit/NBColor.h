// One named colour of the application, and the form it takes in a colour file.
#ifndef NUMBERA_KIT_NB_COLOR_H
#define NUMBERA_KIT_NB_COLOR_H

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "NCPropertyListValue.h"
#include "NSColor.h"
#include "PropertyListFile.h"

class NBColor {
  public:
    // No identifier, no colour, persistent.
    NBColor() = default;
    NBColor(const NSColor& color, std::u16string identifier)
        : m_identifier(std::move(identifier)), m_color(color) {}
    // A colour entry ("identifier", "redComponent" ... "alphaComponent"); a missing identifier
    // reads as "Undefined", a missing or non-numeric component as 0.
    static std::shared_ptr<NBColor> withDictionaryRep(const NCPropertyListValue& entry);

    // The colour entry; null for a colour with no calibrated RGB form.
    PlistPtr dictionaryRepresentation() const;

    const std::optional<std::u16string>& identifier() const { return m_identifier; }
    void setIdentifier(std::optional<std::u16string> identifier) {
        m_identifier = std::move(identifier);
    }
    std::optional<NSColor> color() const;
    void setColor(std::optional<NSColor> color);
    bool isPersistant() const { return m_persistant; }
    void setIsPersistant(bool persistant) { m_persistant = persistant; }

  private:
    std::optional<std::u16string> m_identifier;
    mutable std::mutex m_colorMutex;
    std::optional<NSColor> m_color;
    bool m_persistant = true;
};

#endif
