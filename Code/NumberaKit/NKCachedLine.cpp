#include "NKCachedLine.h"

void NKCachedLine::invalidate() {
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
