// Writes the application icon as PNG files for the desktop's icon theme.
//
// Usage: vocamint_icon_export OUTDIR
// Writes OUTDIR/vocamint-N.png for every size below. 16 and 32 are the program's own
// images; 48 repeats each pixel of the 16 x 16 image in a 3 x 3 block, so the letters stay
// as crisp as the original.
#include <QImage>
#include <QString>

#include <cstdio>

#include "framework/ResourceModule.h"
#include "res/AppResources.h"
#include "res/ResourceIds.h"

namespace {

struct ExportSize {
    int size;   // edge of the PNG in pixels
    int source; // edge of the icon image it is drawn from
};

constexpr ExportSize kSizes[] = {{16, 16}, {32, 32}, {48, 16}};

const IconImage* FindImage(const IconResource& icon, int size) {
    for (const IconImage& image : icon.images) {
        if (image.size == size && image.pixels.size() == static_cast<std::size_t>(size * size))
            return &image;
    }
    return nullptr;
}

// Nearest-neighbour rendition: every source pixel becomes a block of scale x scale pixels.
QImage Render(const IconResource& icon, const IconImage& image, int size) {
    const int scale = size / image.size;
    QImage out(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const std::uint8_t index = image.pixels[(y / scale) * image.size + x / scale];
            const QRgb colour = index == 0 || index >= icon.palette.size()
                                    ? qRgba(0, 0, 0, 0)
                                    : static_cast<QRgb>(icon.palette[index]);
            out.setPixel(x, y, colour);
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    AfxSetResourceModule(VocamintResources());
    const IconResource* icon = FindIconResource(IDR_MAINFRAME);
    if (icon == nullptr) {
        std::fprintf(stderr, "icon %u not found\n", IDR_MAINFRAME);
        return 1;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    for (const ExportSize& s : kSizes) {
        const IconImage* image = FindImage(*icon, s.source);
        if (image == nullptr || s.size % s.source != 0) {
            std::fprintf(stderr, "no %dx%d image for the %d pixel icon\n", s.source, s.source,
                         s.size);
            return 1;
        }
        const QString path = QStringLiteral("%1/vocamint-%2.png").arg(dir).arg(s.size);
        if (!Render(*icon, *image, s.size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
