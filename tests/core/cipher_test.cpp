#include "storage/cipher.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace dova;
using namespace dova::storage;

namespace {

struct Vector {
    std::string name, password, text, cipher, deciphered;
};

std::string unhex(const std::string& h) {
    if (h == "-") return {};
    std::string out;
    for (std::size_t i = 0; i + 1 < h.size(); i += 2) {
        out.push_back(static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16)));
    }
    return out;
}

// Vectors computed by tools/gen_cipher_vectors.py with Python's MD5 and a
// pure-Python RC4, independent of this code.
std::vector<Vector> load_vectors() {
    std::ifstream in(std::string(DOVA_TEST_DATA) + "/cipher_vectors.txt");
    std::vector<Vector> out;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream f(line);
        std::string fields[5];
        for (auto& x : fields) std::getline(f, x, '\t');
        out.push_back(
            {fields[0], unhex(fields[1]), unhex(fields[2]), unhex(fields[3]), unhex(fields[4])});
    }
    return out;
}

}  // namespace

TEST(Cipher, IsAvailable) {
    ASSERT_TRUE(cipher_available());
}

TEST(Cipher, MatchesIndependentVectors) {
    auto vectors = load_vectors();
    ASSERT_EQ(vectors.size(), 6u);
    BookState s;
    for (const auto& v : vectors) {
        SCOPED_TRACE(v.name);
        std::string cipher = encrypt_text(s, v.text, v.password, PasswordMode::given);
        EXPECT_EQ(cipher, v.cipher);
        EXPECT_EQ(cipher.size(), v.text.size());
        EXPECT_EQ(decrypt_bytes(s, v.cipher, v.password, PasswordMode::given), v.deciphered);
        std::string raw;
        ASSERT_TRUE(rc4_md5_apply(v.password, v.cipher, raw));
        EXPECT_EQ(raw, v.text);  // the raw operation keeps zero bytes
        std::string in_place = "SIGNATURE" + v.cipher;
        ASSERT_TRUE(decrypt_in_place(v.password, in_place, 9));
        EXPECT_EQ(in_place, v.deciphered);
    }
}

TEST(Cipher, BookPasswordModeIgnoresTheArgument) {
    BookState s;
    s.book_password = "\xC3\xDC\xC2\xEB";  // 密码
    const std::string text = "some diary text";
    std::string by_state = encrypt_text(s, text, "ignored", PasswordMode::book_password);
    EXPECT_EQ(by_state, encrypt_text(s, text, s.book_password, PasswordMode::given));
    EXPECT_NE(by_state, encrypt_text(s, text, "ignored", PasswordMode::given));
    EXPECT_EQ(decrypt_bytes(s, by_state, "other", PasswordMode::book_password), text);
}

TEST(Cipher, WrongPasswordGivesAnotherText) {
    BookState s;
    const std::string text = "\xD0\xA3\xD1\xE9\xC3\xDC\xC2\xEB";
    std::string cipher = encrypt_text(s, text, "", PasswordMode::given);
    EXPECT_EQ(decrypt_bytes(s, cipher, "", PasswordMode::given), text);
    EXPECT_NE(decrypt_bytes(s, cipher, "x", PasswordMode::given), text);
}

TEST(Cipher, EmptyInputGivesEmptyOutput) {
    BookState s;
    EXPECT_EQ(encrypt_text(s, "", "pw", PasswordMode::given), "");
    EXPECT_EQ(decrypt_bytes(s, "", "pw", PasswordMode::given), "");
}

TEST(Cipher, DecryptInPlaceCutsAtTheFirstZeroWhereverItIs) {
    // Long enough to pass through several slices of the working buffer.
    struct Case {
        std::size_t size, zero_at, skip;
    } cases[] = {{200000, 70000, 285},
                 {200000, 199999, 285},
                 {200000, 0, 0},
                 {200000, std::string::npos, 285},
                 {100, std::string::npos, 100},
                 {10, std::string::npos, 50}};
    BookState s;
    for (auto c : cases) {
        std::string text(c.size - std::min(c.skip, c.size), 'a');
        for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
        if (c.zero_at < text.size()) text[c.zero_at] = '\0';
        std::string file = std::string(std::min(c.skip, c.size), 'S') +
                           encrypt_text(s, text, "pw", PasswordMode::given);
        ASSERT_TRUE(decrypt_in_place("pw", file, c.skip));
        EXPECT_EQ(file, text.substr(0, c.zero_at)) << c.size << " " << c.zero_at << " " << c.skip;
    }
}
