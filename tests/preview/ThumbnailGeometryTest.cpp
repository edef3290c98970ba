#include <gtest/gtest.h>

#include "ThumbnailGeometry.h"

namespace {

using NumberaPreview::ThumbnailGeometry;

TEST(ThumbnailGeometry, ThreeQuarterWidthPageScaleAndWatermark) {
    struct Row {
        int maxWidth, maxHeight;
        bool made;
        double width;
        int pixelWidth, height;
        float pageScale;   // height / 800, in single precision
        double watermark;  // 0.15 × height
    };
    const Row rows[] = {
        {128, 128, true, 96, 96, 128, 0.16f, 19.2},
        {256, 256, true, 192, 192, 256, 0.32f, 38.4},
        {1024, 1024, true, 768, 768, 1024, 1.28f, 153.6},
        {200, 400, true, 150, 150, 400, 0.5f, 60},
        {33, 33, true, 24.75, 24, 33, 0.04125f, 4.95},
        {32, 32, true, 24, 24, 32, 0.04f, 4.8},
        {31, 400, false, 0, 0, 0, 0, 0},
        {400, 31, false, 0, 0, 0, 0, 0},
        {0, 0, false, 0, 0, 0, 0, 0},
        {-128, 128, false, 0, 0, 0, 0, 0},
    };
    for (const auto& row : rows) {
        ThumbnailGeometry geometry;
        const bool made = NumberaPreview::thumbnailGeometry(row.maxWidth, row.maxHeight, geometry);
        EXPECT_EQ(made, row.made) << row.maxWidth << "x" << row.maxHeight;
        if (!made) continue;
        EXPECT_DOUBLE_EQ(geometry.width, row.width) << row.maxWidth;
        EXPECT_EQ(geometry.pixelWidth(), row.pixelWidth) << row.maxWidth;
        EXPECT_EQ(geometry.height, row.height);
        EXPECT_EQ(geometry.pageScale, static_cast<double>(row.pageScale)) << row.maxHeight;
        EXPECT_NEAR(geometry.watermarkSize, row.watermark, 1e-12) << row.maxHeight;
    }
}

}  // namespace
