// One line of the calculation text as the metrics cache keeps it: where it lies in the whole
// text, its characters and the rectangle it was drawn in.
#ifndef NUMBERA_KIT_NK_CACHED_LINE_H
#define NUMBERA_KIT_NK_CACHED_LINE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "NSAttributedString.h"
#include "NSGeometry.h"
#include "NSRange.h"

constexpr uint64_t NKUnknownLineIndex = 0xFFFFFFFFu;

class NKCachedLine {
  public:
    NKCachedLine() { invalidate(); }

    uint64_t index = NKUnknownLineIndex;
    // Without the line's "\n".
    NSRange range{NSNotFound, 0};
    bool hasEndOfLine = false;
    NSRect rect;
    // The rectangle before the geometry was last invalidated.
    NSRect oldRect;

    const std::optional<std::u16string>& string() const { return m_string; }
    void setString(std::optional<std::u16string> string) { m_string = std::move(string); }
    // Kept for the document window.
    const std::optional<NSAttributedString>& attrString() const { return m_attrString; }
    void setAttrString(std::optional<NSAttributedString> string) {
        m_attrString = std::move(string);
    }

    // Text dropped, range unknown; the geometry is invalidated too, so oldRect keeps the last
    // rectangle.
    void invalidate();
    // After an invalidation: takes the dropped text back when the line still reads the same,
    // as every line below an edit within one line does, sparing a copy of each.
    bool restoreStringIfEqual(std::u16string_view text);
    // The rectangle becomes the old one; the new one is unknown.
    void invalidateGeometry();
    // Only a known rectangle moves.
    void offsetRectY(double delta);

  private:
    std::optional<std::u16string> m_string;
    std::optional<std::u16string> m_droppedString;
    std::optional<NSAttributedString> m_attrString;
};

#endif
