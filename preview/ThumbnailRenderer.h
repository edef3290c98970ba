// Draws a document's preview page into a thumbnail image: the page laid out 600 pixels wide,
// scaled to the thumbnail's height, with the product name as a watermark near the bottom.
#ifndef NUMBERA_PREVIEW_THUMBNAIL_RENDERER_H
#define NUMBERA_PREVIEW_THUMBNAIL_RENDERER_H

#include <string>

#include "ThumbnailGeometry.h"

class QImage;

namespace NumberaPreview {

// Needs a QGuiApplication. Answers a null image when no thumbnail is made.
QImage renderThumbnail(const std::string& html, int maxWidth, int maxHeight);

}  // namespace NumberaPreview

#endif
