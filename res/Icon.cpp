// The application icon: capital A, B and C in red, green and cyan, staggered low, high, low.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "res/ResourceIds.h"
#include "res/ResourceTables.h"

namespace {

// The 16-colour VGA palette; index 0 (black there) is the transparent colour here.
constexpr std::array<std::uint32_t, 16> kPalette = {
    0x00000000, // 0 transparent
    0xFF0000AA, // 1 blue
    0xFF00AA00, // 2 green
    0xFF00AAAA, // 3 cyan
    0xFFAA0000, // 4 red
    0xFFAA00AA, // 5 magenta
    0xFFAA5500, // 6 brown
    0xFFAAAAAA, // 7 light grey
    0xFF555555, // 8 dark grey
    0xFF5555FF, // 9 light blue
    0xFF55FF55, // a light green: the B
    0xFF55FFFF, // b light cyan: the C
    0xFFFF5555, // c light red: the A
    0xFFFF55FF, // d light magenta
    0xFFFFFF55, // e yellow
    0xFFFFFFFF, // f white
};

// An image drawn as text: one string per row, one hex digit (a palette index) per pixel,
// '.' for transparent.
template <std::size_t N> using Drawing = std::array<std::string_view, N>;

constexpr int PixelValue(char c) {
    if (c == '.')
        return 0;
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

template <std::size_t N> constexpr bool IsSquareDrawing(const Drawing<N>& rows) {
    for (std::string_view row : rows) {
        if (row.size() != N)
            return false;
        for (char c : row) {
            if (PixelValue(c) < 0)
                return false;
        }
    }
    return true;
}

template <std::size_t N>
constexpr std::array<std::uint8_t, N * N> ToPixels(const Drawing<N>& rows) {
    std::array<std::uint8_t, N * N> pixels{};
    for (std::size_t y = 0; y < N; ++y) {
        for (std::size_t x = 0; x < N; ++x)
            pixels[y * N + x] = static_cast<std::uint8_t>(PixelValue(rows[y][x]));
    }
    return pixels;
}

// clang-format off
constexpr Drawing<32> kDrawing32 = {
    "................................",
    "...........aaaaaaaa.............",
    "...........aaaaaaaaa............",
    "...........aa.....aaa...........",
    "...........aa......aa...........",
    "...........aa......aa...........",
    "...........aa.....aaa...........",
    "...........aaaaaaaaa............",
    "...........aaaaaaaa.............",
    "...........aaaaaaaaa............",
    "...........aa.....aaa...........",
    "...........aa......aa...........",
    "...........aa......aa...........",
    "...........aa......aa...........",
    "...........aa.....aaa...........",
    "...cccc....aaaaaaaaa....bbbbbb..",
    "..cccccc...aaaaaaaa....bbbbbbbbb",
    ".ccc..ccc.............bbb.....bb",
    ".cc....cc.............bb........",
    "ccc....ccc............bb........",
    "cc......cc............bb........",
    "cc......cc............bb........",
    "cc......cc............bb........",
    "cccccccccc............bb........",
    "cccccccccc............bb........",
    "cc......cc............bb........",
    "cc......cc............bb........",
    "cc......cc............bb........",
    "cc......cc............bbb.....bb",
    "cc......cc.............bbbbbbbbb",
    "cc......cc..............bbbbbb..",
    "................................",
};

constexpr Drawing<16> kDrawing16 = {
    "................",
    "......aaa.......",
    "......a..a......",
    "......a..a......",
    "......aaa.......",
    "......a..a......",
    "......a..a......",
    ".ccc..a..a..bbb.",
    "c...c.aaa..b...b",
    "c...c......b....",
    "ccccc......b....",
    "c...c......b....",
    "c...c......b....",
    "c...c......b...b",
    "c...c.......bbb.",
    "................",
};
// clang-format on

static_assert(IsSquareDrawing(kDrawing32));
static_assert(IsSquareDrawing(kDrawing16));

constexpr auto kPixels32 = ToPixels(kDrawing32);
constexpr auto kPixels16 = ToPixels(kDrawing16);

constexpr IconImage kImages[] = {
    {32, kPixels32},
    {16, kPixels16},
};

constexpr IconResource kIcons[] = {
    {IDR_MAINFRAME, kPalette, kImages},
};

} // namespace

std::span<const IconResource> IconTable() {
    return kIcons;
}
