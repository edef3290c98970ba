// Where windows and popups go so that they open wholly on a screen: plain rectangles in
// y-down screen coordinates, as the window system gives them.
#ifndef NUMBERA_APP_RULES_NB_SCREEN_PLACEMENT_H
#define NUMBERA_APP_RULES_NB_SCREEN_PLACEMENT_H

struct NBScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool operator==(const NBScreenRect&) const = default;
};

// The frame moved, and shrunk where it is larger than the area, so that it lies wholly inside
// the area. A frame already inside is answered unchanged. An empty area changes nothing.
NBScreenRect rectPlacedInside(NBScreenRect frame, const NBScreenRect& area);

// A popup whose pointer touches `anchor` from one side. It opens right of the anchor, pointing
// left; where that leaves the area it flips to the left of the anchor, pointing right; where
// neither side has room it takes the side with more room and is pushed inside. Vertically
// the pointer sits `pointerFromTop` below the popup's top, unless that would leave the area.
struct NBPopupPlacement {
    NBScreenRect frame;
    bool pointsRight = false;  // the popup lies left of the anchor
};
NBPopupPlacement popupPlacementBesideAnchor(int anchorX, int anchorY, int width, int height,
                                            int pointerFromTop, const NBScreenRect& area);

#endif
