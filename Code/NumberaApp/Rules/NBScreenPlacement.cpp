#include "NBScreenPlacement.h"

#include <algorithm>

NBScreenRect rectPlacedInside(NBScreenRect frame, const NBScreenRect& area) {
    if (area.width <= 0 || area.height <= 0) return frame;
    frame.width = std::min(frame.width, area.width);
    frame.height = std::min(frame.height, area.height);
    frame.x = std::clamp(frame.x, area.x, area.right() - frame.width);
    frame.y = std::clamp(frame.y, area.y, area.bottom() - frame.height);
    return frame;
}

NBPopupPlacement popupPlacementBesideAnchor(int anchorX, int anchorY, int width, int height,
                                            int pointerFromTop, const NBScreenRect& area) {
    NBPopupPlacement placement;
    placement.frame = {anchorX, anchorY - pointerFromTop, width, height};
    if (area.width <= 0 || area.height <= 0) return placement;
    const int roomRight = area.right() - anchorX;
    const int roomLeft = anchorX - area.x;
    if (width > roomRight && roomLeft > roomRight) {
        placement.pointsRight = true;
        placement.frame.x = anchorX - width;
    }
    placement.frame = rectPlacedInside(placement.frame, area);
    return placement;
}
