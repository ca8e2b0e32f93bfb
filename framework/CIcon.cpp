#include "framework/CIcon.h"

#include <QImage>

#include "framework/ResourceModule.h"

CIcon::CIcon(unsigned resourceId) {
    const IconResource* resource = FindIconResource(resourceId);
    if (resource == nullptr)
        return;
    for (const IconImage& image : resource->images) {
        const auto expected =
            static_cast<std::size_t>(image.size) * static_cast<std::size_t>(image.size);
        if (image.size <= 0 || image.pixels.size() < expected)
            continue;
        QImage pixels(image.size, image.size, QImage::Format_ARGB32);
        for (int y = 0; y < image.size; ++y) {
            for (int x = 0; x < image.size; ++x) {
                const std::uint8_t index =
                    image.pixels[static_cast<std::size_t>(y * image.size + x)];
                // Index 0 is the transparent background.
                const bool opaque = index != 0 && index < resource->palette.size();
                pixels.setPixel(x, y, opaque ? resource->palette[index] : 0u);
            }
        }
        m_icon.addPixmap(QPixmap::fromImage(pixels));
    }
}

QPixmap CIcon::pixmap(int size) const {
    QPixmap image = m_icon.pixmap(QSize(size, size));
    if (!image.isNull() && image.size() != QSize(size, size))
        image = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return image;
}
