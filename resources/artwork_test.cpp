// Checks the artwork copied into the build's resource folder: the sizes the
// forms rely on (the About box lays its labels over a 500 x 375 picture; the
// cursor's hot spot assumes 32 x 32) and that each file is what its name says.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Size = std::pair<int, int>;

fs::path ResourceDir() {
    const char* build = std::getenv("KESTROW_BUILD_DIR");
    return fs::path(build && *build ? build : KESTROW_TEST_BUILD_DIR) / "share" / "kestrow";
}

std::vector<unsigned char> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int BigEndian16(const std::vector<unsigned char>& b, size_t at) { return b[at] << 8 | b[at + 1]; }

// Width and height from a PNG header; nullopt when the bytes are no PNG.
std::optional<Size> PngSize(const std::vector<unsigned char>& b) {
    static const unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (b.size() < 24 || !std::equal(std::begin(kSignature), std::end(kSignature), b.begin()) ||
        std::string(b.begin() + 12, b.begin() + 16) != "IHDR") {
        return std::nullopt;
    }
    auto be32 = [&](size_t at) {
        return b[at] << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
    };
    return Size{be32(16), be32(20)};
}

// Width and height from the first start-of-frame marker of a JPEG.
std::optional<Size> JpegSize(const std::vector<unsigned char>& b) {
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) return std::nullopt;
    size_t at = 2;
    while (at + 9 < b.size()) {
        if (b[at] != 0xFF) return std::nullopt;
        const unsigned char marker = b[at + 1];
        const bool startOfFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (startOfFrame) return Size{BigEndian16(b, at + 7), BigEndian16(b, at + 5)};
        at += 2 + BigEndian16(b, at + 2);
    }
    return std::nullopt;
}

TEST(Artwork, AboutPictureIsAJpegOfTheSizeTheAboutBoxIsLaidOutFor) {
    const auto bytes = ReadAll(ResourceDir() / "pictures" / "about.jpg");
    const auto size = JpegSize(bytes);
    ASSERT_TRUE(size) << "about.jpg is missing or not a JPEG";
    EXPECT_EQ(*size, Size(500, 375));
}

TEST(Artwork, IconsAndCursorArePngsOfTheirNamedSizes) {
    const std::pair<std::string, int> files[] = {{"icons/kestrow-16.png", 16},
                                                 {"icons/kestrow-32.png", 32},
                                                 {"icons/kestrow-48.png", 48},
                                                 {"icons/kestrow-256.png", 256},
                                                 {"cursors/hand.png", 32}};
    for (const auto& [name, side] : files) {
        const auto size = PngSize(ReadAll(ResourceDir() / name));
        ASSERT_TRUE(size) << name << " is missing or not a PNG";
        EXPECT_EQ(*size, Size(side, side)) << name;
    }
}

// The RGBA pixels of an 8-bit RGBA, non-interlaced PNG; empty otherwise.
std::vector<unsigned char> PngPixels(const std::vector<unsigned char>& b) {
    const auto size = PngSize(b);
    if (!size || b[24] != 8 || b[25] != 6 || b[28] != 0) return {};
    std::vector<unsigned char> compressed;
    for (size_t at = 8; at + 8 <= b.size();) {
        const size_t length = size_t(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
        const std::string kind(b.begin() + at + 4, b.begin() + at + 8);
        if (kind == "IDAT")
            compressed.insert(compressed.end(), b.begin() + at + 8, b.begin() + at + 8 + length);
        at += 12 + length;
    }
    const auto [width, height] = *size;
    const size_t stride = size_t(width) * 4;
    std::vector<unsigned char> raw((stride + 1) * height);
    uLongf rawSize = raw.size();
    if (uncompress(raw.data(), &rawSize, compressed.data(), compressed.size()) != Z_OK ||
        rawSize != raw.size()) {
        return {};
    }
    std::vector<unsigned char> pixels(stride * height);
    for (int y = 0; y < height; ++y) {
        const unsigned char filter = raw[y * (stride + 1)];
        const unsigned char* in = &raw[y * (stride + 1) + 1];
        unsigned char* out = &pixels[y * stride];
        const unsigned char* up = y > 0 ? &pixels[(y - 1) * stride] : nullptr;
        for (size_t i = 0; i < stride; ++i) {
            const int a = i >= 4 ? out[i - 4] : 0, u = up ? up[i] : 0,
                      c = (i >= 4 && up) ? up[i - 4] : 0;
            int predictor = 0;
            switch (filter) {
                case 0:
                    predictor = 0;
                    break;
                case 1:
                    predictor = a;
                    break;
                case 2:
                    predictor = u;
                    break;
                case 3:
                    predictor = (a + u) / 2;
                    break;
                case 4: {
                    const int p = a + u - c, pa = std::abs(p - a), pb = std::abs(p - u),
                              pc = std::abs(p - c);
                    predictor = pa <= pb && pa <= pc ? a : pb <= pc ? u : c;
                    break;
                }
                default:
                    return {};
            }
            out[i] = static_cast<unsigned char>(in[i] + predictor);
        }
    }
    return pixels;
}

TEST(Artwork, CursorHotSpotLiesOnTheFingerTip) {
    // The forms put the hot spot at (5, 0): a click must land on the drawn
    // finger, and the cursor must be a shape on a clear background.
    const auto pixels = PngPixels(ReadAll(ResourceDir() / "cursors" / "hand.png"));
    ASSERT_EQ(pixels.size(), 32u * 32u * 4u) << "hand.png is not a 32 x 32 RGBA PNG";
    auto alpha = [&](int x, int y) { return pixels[(y * 32 + x) * 4 + 3]; };
    EXPECT_GT(alpha(5, 0), 128) << "nothing drawn at the hot spot";
    for (int x : {0, 1, 12, 20, 31}) EXPECT_EQ(alpha(x, 0), 0) << "top row at x=" << x;
    EXPECT_EQ(alpha(31, 31), 0);
    int opaque = 0;
    for (int i = 3; i < int(pixels.size()); i += 4) opaque += pixels[i] > 128;
    EXPECT_GT(opaque, 32 * 32 / 5) << "the hand is too small";
}

TEST(Artwork, WindowsIconHoldsTheSmallSizes) {
    const auto b = ReadAll(ResourceDir() / "icons" / "kestrow.ico");
    ASSERT_GE(b.size(), 6u);
    ASSERT_EQ(b[0] | b[1] << 8, 0);  // reserved
    ASSERT_EQ(b[2] | b[3] << 8, 1);  // an icon, not a cursor
    const int count = b[4] | b[5] << 8;
    ASSERT_GE(b.size(), 6u + 16u * count);
    std::vector<int> sides;
    for (int i = 0; i < count; ++i) sides.push_back(b[6 + 16 * i] == 0 ? 256 : b[6 + 16 * i]);
    for (int wanted : {16, 32, 48}) {
        EXPECT_NE(std::find(sides.begin(), sides.end(), wanted), sides.end())
            << "kestrow.ico lacks " << wanted << " x " << wanted;
    }
}

}  // namespace
