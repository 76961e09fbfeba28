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
#include <initializer_list>
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

struct IconImage {
    int side;
    int bits;
    bool operator==(const IconImage&) const = default;
};

std::uint32_t Little32(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}

// The images of an .ico file, each read from its own header (a bitmap's, or
// a PNG's for the large ones) and checked against its directory entry and
// its length; empty with a failure when the file is not a sound icon.
std::vector<IconImage> IconImages(const fs::path& file) {
    const auto b = ReadAll(file);
    if (b.size() < 6 || (b[0] | b[1] << 8) != 0 || (b[2] | b[3] << 8) != 1) {
        ADD_FAILURE() << file << " is not an icon";
        return {};
    }
    const int count = b[4] | b[5] << 8;
    std::vector<IconImage> images;
    for (int i = 0; i < count; ++i) {
        const size_t entry = 6 + 16 * size_t(i);
        if (b.size() < entry + 16) return ADD_FAILURE() << file << ": directory cut off", images;
        const int side = b[entry] == 0 ? 256 : b[entry];
        const int bits = b[entry + 6] | b[entry + 7] << 8;
        const size_t length = Little32(b, entry + 8), at = Little32(b, entry + 12);
        if (at + length > b.size()) return ADD_FAILURE() << file << ": image cut off", images;
        const std::vector<unsigned char> image(b.begin() + at, b.begin() + at + length);
        if (const auto png = PngSize(image)) {
            EXPECT_EQ(*png, Size(side, side)) << file << " image " << i;
        } else {
            EXPECT_EQ(Little32(image, 0), 40u) << file << " image " << i;
            EXPECT_EQ(int(Little32(image, 4)), side) << file << " image " << i;
            EXPECT_EQ(int(Little32(image, 8)), 2 * side) << file << " image " << i;
            EXPECT_EQ(image[14] | image[15] << 8, bits) << file << " image " << i;
            // Header, colour table, colours and the 1-bit mask, rows padded
            // to four bytes.
            const size_t colours =
                bits <= 8 ? (Little32(image, 32) ? Little32(image, 32) : 1u << bits) : 0;
            const size_t stride = (size_t(side) * bits + 31) / 32 * 4;
            const size_t mask = (size_t(side) + 31) / 32 * 4;
            EXPECT_EQ(length, 40 + 4 * colours + (stride + mask) * side) << file << " image " << i;
        }
        images.push_back({side, bits});
    }
    return images;
}

void ExpectHolds(const std::vector<IconImage>& images, std::initializer_list<IconImage> wanted,
                 const std::string& name) {
    for (const IconImage& image : wanted) {
        EXPECT_NE(std::find(images.begin(), images.end(), image), images.end())
            << name << " lacks " << image.side << " x " << image.side << " in " << image.bits
            << "-bit colour";
    }
}

TEST(Artwork, WindowsIconsHoldTheImagesTheirWindowsAskFor) {
    // The shortcut maker's options dialog: 16 x 16 in 16, 256 and 32-bit colour.
    const auto maker = IconImages(ResourceDir() / "icons" / "kestrow.ico");
    ExpectHolds(maker, {{16, 4}, {16, 8}, {16, 32}}, "kestrow.ico");
    // The defaults editor: 48, 32 and 16 pixels in 256 and in 32-bit colour.
    const auto editor = IconImages(ResourceDir() / "icons" / "kestrow-defaults.ico");
    ExpectHolds(editor, {{48, 8}, {32, 8}, {16, 8}, {48, 32}, {32, 32}, {16, 32}},
                "kestrow-defaults.ico");
    // Both keep the large images today's shells show.
    for (const auto* images : {&maker, &editor})
        ExpectHolds(*images, {{48, 32}, {256, 32}}, "icon");
}

}  // namespace
