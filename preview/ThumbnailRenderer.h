// Draws a document's preview page into a thumbnail image: the page laid out 600 pixels wide,
// scaled to the thumbnail's height, with the product name as a watermark near the bottom.
#ifndef NUMBERA_PREVIEW_THUMBNAIL_RENDERER_H
#define NUMBERA_PREVIEW_THUMBNAIL_RENDERER_H

#include <string>

class QImage;

namespace NumberaPreview {

// Below this many pixels in either dimension no thumbnail is made.
inline constexpr int kSmallestThumbnailSide = 32;

// The thumbnail for a largest size of `maxWidth` × `maxHeight`: three quarters as wide as
// the largest width, as tall as the largest height.
struct ThumbnailGeometry {
    int width = 0;
    int height = 0;
    double pageScale = 0;      // the 600 × 800 page is drawn at this scale
    double watermarkSize = 0;  // font size of the watermark, in pixels
};

// No thumbnail (false) when either dimension is below kSmallestThumbnailSide.
bool thumbnailGeometry(int maxWidth, int maxHeight, ThumbnailGeometry& geometry);

// Needs a QGuiApplication. Answers a null image when no thumbnail is made.
QImage renderThumbnail(const std::string& html, int maxWidth, int maxHeight);

}  // namespace NumberaPreview

#endif
