#include "ThumbnailGeometry.h"

#include <cmath>

namespace NumberaPreview {

bool thumbnailGeometry(int maxWidth, int maxHeight, ThumbnailGeometry& geometry) {
    if (maxWidth < kSmallestThumbnailSide || maxHeight < kSmallestThumbnailSide) return false;
    geometry.width = 0.75 * maxWidth;
    geometry.height = maxHeight;
    // Single precision, as the page's scale has always been taken.
    geometry.pageScale = static_cast<float>(maxHeight / kThumbnailPageHeight);
    geometry.watermarkSize = 0.15 * std::trunc(static_cast<double>(maxHeight));
    return true;
}

}  // namespace NumberaPreview
