#include "storage/signatures.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace dova::storage;

namespace {

std::uint32_t be32(std::string_view b, std::size_t at) {
    auto u = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(b[i]));
    };
    return u(at) << 24 | u(at + 1) << 16 | u(at + 2) << 8 | u(at + 3);
}

struct Chunk {
    std::string type;
    std::uint32_t length;
};

// Walks the chunks after the 8-byte PNG signature, checking every CRC, and
// returns them; fails the test when the walk does not end exactly at IEND.
std::vector<Chunk> chunks_of(std::string_view png, std::string& idat) {
    std::vector<Chunk> out;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        std::uint32_t len = be32(png, at);
        if (at + 12 + len > png.size()) break;
        std::string_view typed = png.substr(at + 4, 4 + len);
        auto crc =
            crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
        EXPECT_EQ(crc, be32(png, at + 8 + len)) << typed.substr(0, 4);
        out.push_back({std::string(typed.substr(0, 4)), len});
        if (out.back().type == "IDAT") idat += typed.substr(4);
        at += 12 + len;
        if (out.back().type == "IEND") break;
    }
    EXPECT_EQ(at, png.size()) << "chunks must end exactly at IEND";
    return out;
}

struct Picture {
    const char* name;
    std::string_view bytes;
    std::size_t size;
    std::uint32_t width;
    std::vector<Chunk> chunks;
};

}  // namespace

TEST(Signatures, AreRealPicturesWithTheFixedLayout) {
    const Picture pictures[] = {
        {"book",
         BOOK_SIGNATURE,
         285,
         45,
         {{"IHDR", 13}, {"pHYs", 9}, {"gAMA", 4}, {"cHRM", 32}, {"IDAT", 147}, {"IEND", 0}}},
        {"password book",
         PASSWORD_BOOK_SIGNATURE,
         222,
         35,
         {{"IHDR", 13}, {"sRGB", 1}, {"gAMA", 4}, {"pHYs", 9}, {"IDAT", 115}, {"IEND", 0}}},
    };
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.name);
        ASSERT_EQ(p.bytes.size(), p.size);
        ASSERT_EQ(p.bytes.substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8));

        std::string idat;
        auto chunks = chunks_of(p.bytes, idat);
        ASSERT_EQ(chunks.size(), p.chunks.size());
        for (std::size_t i = 0; i < chunks.size(); ++i) {
            EXPECT_EQ(chunks[i].type, p.chunks[i].type);
            EXPECT_EQ(chunks[i].length, p.chunks[i].length);
        }
        // IHDR: width, 9 rows, 8-bit RGB, no interlace.
        EXPECT_EQ(be32(p.bytes, 16), p.width);
        EXPECT_EQ(be32(p.bytes, 20), 9u);
        EXPECT_EQ(p.bytes.substr(24, 5), std::string_view("\x08\x02\x00\x00\x00", 5));

        // The image data inflates to exactly the rows the header describes.
        const std::size_t expected = 9 * (1 + p.width * 3);
        std::vector<Bytef> raw(expected + 16);
        uLongf raw_len = static_cast<uLongf>(raw.size());
        ASSERT_EQ(uncompress(raw.data(), &raw_len, reinterpret_cast<const Bytef*>(idat.data()),
                             static_cast<uLong>(idat.size())),
                  Z_OK);
        EXPECT_EQ(raw_len, expected);

        // And a real decoder reads the picture.
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_memory(&image, p.bytes.data(), p.bytes.size()))
            << image.message;
        EXPECT_EQ(image.width, p.width);
        EXPECT_EQ(image.height, 9u);
        image.format = PNG_FORMAT_RGB;
        std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
            << image.message;
        EXPECT_EQ(image.warning_or_error, 0u) << image.message;
    }
}

TEST(Signatures, TellTheTwoKindsOfFileApart) {
    EXPECT_NE(BOOK_SIGNATURE.substr(0, 222), PASSWORD_BOOK_SIGNATURE);
    std::string book = std::string(BOOK_SIGNATURE) + "cipher";
    std::string password_book = std::string(PASSWORD_BOOK_SIGNATURE) + "x";
    EXPECT_TRUE(starts_with_book_signature(book));
    EXPECT_FALSE(starts_with_password_book_signature(book));
    EXPECT_TRUE(starts_with_password_book_signature(password_book));
    EXPECT_FALSE(starts_with_book_signature(password_book));
    EXPECT_FALSE(starts_with_book_signature(BOOK_SIGNATURE.substr(0, 284)));
}
