// The measures of a document's thumbnail for a largest size: how big the image is, how far
// the preview page is scaled down and how large the watermark is. Kept apart from the drawing
// so that it needs no toolkit.
#ifndef NUMBERA_PREVIEW_THUMBNAIL_GEOMETRY_H
#define NUMBERA_PREVIEW_THUMBNAIL_GEOMETRY_H

namespace NumberaPreview {

// The preview page as laid out before scaling, in CSS pixels.
inline constexpr double kThumbnailPageWidth = 600;
inline constexpr double kThumbnailPageHeight = 800;
// What the page can show at most, so that the rest of a document is never laid out: at the
// preview's font size no row of lines is lower than kThumbnailLowestLine page pixels, and no
// glyph that shows is narrower than kThumbnailNarrowestGlyph (both well below the real
// figures, about 27 pixels a row and 4 for the narrowest letters). Wrapped across the page,
// the expressions of the rows that show hold no more characters than the page's area allows.
inline constexpr int kThumbnailLowestLine = 8;
inline constexpr int kThumbnailNarrowestGlyph = 2;
inline constexpr int kThumbnailRowsShown =
    static_cast<int>(kThumbnailPageHeight) / kThumbnailLowestLine + 1;
inline constexpr int kThumbnailCharactersShown =
    static_cast<int>(kThumbnailPageWidth) / kThumbnailNarrowestGlyph * (kThumbnailRowsShown - 1);
// Below this many pixels in either dimension no thumbnail is made.
inline constexpr int kSmallestThumbnailSide = 32;

struct ThumbnailGeometry {
    double width = 0;          // three quarters of the largest width
    int height = 0;            // the largest height
    double pageScale = 0;      // the page is drawn at this scale
    double watermarkSize = 0;  // font size of the watermark, in pixels
    // The image holds whole pixels only.
    int pixelWidth() const { return static_cast<int>(width); }
};

// False when either dimension is below kSmallestThumbnailSide.
bool thumbnailGeometry(int maxWidth, int maxHeight, ThumbnailGeometry& geometry);

}  // namespace NumberaPreview

#endif
