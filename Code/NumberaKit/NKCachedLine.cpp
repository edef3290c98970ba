#include "NKCachedLine.h"

void NKCachedLine::invalidate() {
    if (m_string) m_droppedString = std::move(m_string);
    m_string.reset();
    m_attrString.reset();
    range = {NSNotFound, 0};
    oldRect = NSZeroRect;
    invalidateGeometry();
}

void NKCachedLine::invalidateGeometry() {
    oldRect = rect;
    rect = NSZeroRect;
}

void NKCachedLine::offsetRectY(double delta) {
    if (rect.size.height > 0) rect.origin.y += delta;
}

bool NKCachedLine::restoreStringIfEqual(std::u16string_view text) {
    const bool equal = m_droppedString && *m_droppedString == text;
    if (equal) m_string = std::move(m_droppedString);
    m_droppedString.reset();
    return equal;
}
