#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "framework/ResourceModule.h"
#include "res/AppResources.h"
#include "res/ResourceIds.h"

namespace {

enum class Hue { Transparent, Red, Green, Cyan, Other };

Hue HueOf(std::uint32_t argb) {
    const int a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    if (a == 0)
        return Hue::Transparent;
    if (r > g && r > b)
        return Hue::Red;
    if (g > r && g > b)
        return Hue::Green;
    if (g > r && b > r && g == b)
        return Hue::Cyan;
    return Hue::Other;
}

// A letter: one 8-connected run of coloured pixels.
struct Blob {
    std::uint8_t index;
    int pixels = 0;
    double sumX = 0, sumY = 0;
    double centreX() const { return sumX / pixels; }
    double centreY() const { return sumY / pixels; }
};

std::vector<Blob> FindBlobs(const IconImage& image) {
    const int n = image.size;
    std::vector<int> label(n * n, -1);
    std::vector<Blob> blobs;
    for (int start = 0; start < n * n; ++start) {
        if (image.pixels[start] == 0 || label[start] >= 0)
            continue;
        blobs.push_back({image.pixels[start]});
        Blob& blob = blobs.back();
        std::vector<int> todo = {start};
        label[start] = static_cast<int>(blobs.size()) - 1;
        while (!todo.empty()) {
            const int p = todo.back();
            todo.pop_back();
            const int x = p % n, y = p / n;
            EXPECT_EQ(image.pixels[p], blob.index)
                << "a letter of two colours at " << x << "," << y;
            ++blob.pixels;
            blob.sumX += x;
            blob.sumY += y;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= n || ny >= n)
                        continue;
                    const int q = ny * n + nx;
                    if (image.pixels[q] != 0 && label[q] < 0) {
                        label[q] = label[start];
                        todo.push_back(q);
                    }
                }
            }
        }
    }
    std::sort(blobs.begin(), blobs.end(),
              [](const Blob& a, const Blob& b) { return a.centreX() < b.centreX(); });
    return blobs;
}

const IconResource& MainIcon() {
    const IconResource* icon = FindIconResource(IDR_MAINFRAME);
    EXPECT_NE(icon, nullptr);
    static const IconResource none{};
    return icon ? *icon : none;
}

TEST(Icon, SixteenColourPaletteWithTransparentZero) {
    const IconResource& icon = MainIcon();
    ASSERT_EQ(icon.palette.size(), 16u);
    EXPECT_EQ(HueOf(icon.palette[0]), Hue::Transparent);
    for (std::size_t i = 1; i < 16; ++i)
        EXPECT_EQ(icon.palette[i] >> 24, 0xFFu) << "entry " << i << " is not opaque";
    EXPECT_EQ(FindIconResource(0), nullptr);
}

TEST(Icon, ImagesShowRedGreenCyanLettersLowHighLow) {
    const IconResource& icon = MainIcon();
    ASSERT_EQ(icon.images.size(), 2u);
    const int sizes[] = {32, 16};
    for (std::size_t i = 0; i < 2; ++i) {
        const IconImage& image = icon.images[i];
        SCOPED_TRACE(sizes[i]);
        ASSERT_EQ(image.size, sizes[i]);
        ASSERT_EQ(image.pixels.size(), std::size_t(sizes[i] * sizes[i]));
        for (std::uint8_t p : image.pixels) {
            ASSERT_LT(p, 16);
            const Hue hue = HueOf(icon.palette[p]);
            EXPECT_TRUE(hue != Hue::Other) << "pixel of palette index " << int(p);
        }

        const std::vector<Blob> letters = FindBlobs(image);
        ASSERT_EQ(letters.size(), 3u);
        EXPECT_EQ(HueOf(icon.palette[letters[0].index]), Hue::Red);
        EXPECT_EQ(HueOf(icon.palette[letters[1].index]), Hue::Green);
        EXPECT_EQ(HueOf(icon.palette[letters[2].index]), Hue::Cyan);
        // Each letter in its own third, the middle one standing clearly higher.
        const double third = sizes[i] / 3.0;
        for (int k = 0; k < 3; ++k) {
            EXPECT_GE(letters[k].centreX(), k * third);
            EXPECT_LT(letters[k].centreX(), (k + 1) * third);
        }
        const double rise = sizes[i] / 4.0;
        EXPECT_LT(letters[1].centreY() + rise, letters[0].centreY());
        EXPECT_LT(letters[1].centreY() + rise, letters[2].centreY());
    }
}

} // namespace
