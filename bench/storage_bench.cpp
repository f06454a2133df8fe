// Speed of the book storage: the cipher against OpenSSL's RC4 alone, reading
// and writing the plain book text, and the whole road from a book file on
// disk to its entries against reading the file and running RC4 alone.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "model/entry_index.h"
#include "platform/file_io.h"
#include "storage/book_format.h"
#include "storage/cipher.h"
#include "storage/signatures.h"
#include "text/texts.h"

using namespace dova;

namespace {

// Diary-like GBK text: common hanzi with full-width punctuation and line breaks.
std::string diary_body(std::mt19937& rng, std::size_t bytes) {
    std::string s;
    s.reserve(bytes + 8);
    while (s.size() < bytes) {
        unsigned r = rng() % 100;
        if (r < 6) {
            s += "\xA3\xAC";  // ，
        } else if (r < 9) {
            s += "\xA1\xA3";  // 。
        } else if (r < 10) {
            s += "\r\n";
        } else if (r < 14) {
            s.push_back(static_cast<char>('a' + rng() % 26));
        } else {
            s.push_back(static_cast<char>(0xB0 + rng() % 40));
            s.push_back(static_cast<char>(0xA1 + rng() % 94));
        }
    }
    return s;
}

struct Book {
    model::EntryIndex index;
    std::string record_text;
    std::string plain;
};

// A book of about `bytes` bytes in entries of about 4 KB.
const Book& book_of(std::size_t bytes) {
    static std::size_t made_for = 0;
    static Book book;
    if (made_for == bytes) return book;
    book = {};
    std::mt19937 rng(1);
    for (std::int32_t n = 1; book.record_text.size() < bytes; ++n) {
        std::string title = diary_body(rng, 12);
        std::erase(title, '\r');
        std::erase(title, '\n');
        book.index.items.push_back({std::move(title), n});
        book.record_text.append("\r\n").append(texts::RECORD_HEAD);
        book.record_text.append(diary_body(rng, 2000 + rng() % 4000));
        book.record_text.append(texts::RECORD_TAIL);
    }
    storage::BuildResult built = storage::build_book_text(book.index, book.record_text);
    if (!built.ok) std::abort();
    book.plain = std::move(built.text);
    made_for = bytes;
    return book;
}

constexpr std::size_t kMb = 1 << 20;

// RC4 straight from OpenSSL with the same 16-byte key, as the yardstick.
struct RawRc4 {
    OSSL_LIB_CTX* ctx = OSSL_LIB_CTX_new();
    EVP_CIPHER* rc4 = nullptr;
    RawRc4() {
        OSSL_PROVIDER_load(ctx, "legacy");
        OSSL_PROVIDER_load(ctx, "default");
        rc4 = EVP_CIPHER_fetch(ctx, "RC4", nullptr);
    }
    void apply(std::string& buf) const {
        static const unsigned char key[16] = {1, 2, 3, 4, 5};
        EVP_CIPHER_CTX* c = EVP_CIPHER_CTX_new();
        EVP_EncryptInit_ex2(c, rc4, key, nullptr, nullptr);
        int outl = 0;
        auto* p = reinterpret_cast<unsigned char*>(buf.data());
        EVP_EncryptUpdate(c, p, &outl, p, static_cast<int>(buf.size()));
        EVP_CIPHER_CTX_free(c);
    }
};
const RawRc4& raw_rc4() {
    static const RawRc4 r;
    return r;
}

void BM_OpenSslRc4Alone(benchmark::State& state) {
    std::string buf(static_cast<std::size_t>(state.range(0)) * kMb, 'x');
    for (auto _ : state) {
        raw_rc4().apply(buf);
        benchmark::DoNotOptimize(buf.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buf.size()));
}
BENCHMARK(BM_OpenSslRc4Alone)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_DecryptInPlace(benchmark::State& state) {
    BookState s;
    const std::string cipher =
        storage::encrypt_text(s, std::string(static_cast<std::size_t>(state.range(0)) * kMb, 'x'),
                              "password", storage::PasswordMode::given);
    std::string buf;
    for (auto _ : state) {
        state.PauseTiming();
        buf = cipher;
        state.ResumeTiming();
        storage::decrypt_in_place("password", buf, 0);
        benchmark::DoNotOptimize(buf.data());
    }
    if (buf.size() != cipher.size()) state.SkipWithError("cut short");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * cipher.size()));
}
BENCHMARK(BM_DecryptInPlace)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_EncryptText(benchmark::State& state) {
    std::string text(static_cast<std::size_t>(state.range(0)) * kMb, 'x');
    BookState s;
    for (auto _ : state) {
        std::string cipher =
            storage::encrypt_text(s, text, "password", storage::PasswordMode::given);
        benchmark::DoNotOptimize(cipher.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_EncryptText)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_ParseBookText(benchmark::State& state) {
    const Book& b = book_of(static_cast<std::size_t>(state.range(0)) * kMb);
    for (auto _ : state) {
        storage::ParseResult r = storage::parse_book_text(b.plain);
        benchmark::DoNotOptimize(r.record_text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * b.plain.size()));
}
BENCHMARK(BM_ParseBookText)->Arg(16)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_BuildBookText(benchmark::State& state) {
    const Book& b = book_of(static_cast<std::size_t>(state.range(0)) * kMb);
    for (auto _ : state) {
        storage::BuildResult r = storage::build_book_text(b.index, b.record_text);
        benchmark::DoNotOptimize(r.text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * b.plain.size()));
}
BENCHMARK(BM_BuildBookText)->Arg(16)->Arg(100)->Unit(benchmark::kMillisecond);

// A book file of about 100 MB on disk, written once per run.
const std::string& book_file_path() {
    static std::string path;
    if (!path.empty()) return path;
    const Book& b = book_of(100 * kMb);
    BookState s;
    std::string file(storage::BOOK_SIGNATURE);
    file += storage::encrypt_text(s, b.plain, "password", storage::PasswordMode::given);
    path = "/tmp/dova-storage-bench-" + std::to_string(::getpid()) + ".dova";
    platform::write_file_atomically(path, file);
    std::atexit([] { platform::delete_file(path); });
    return path;
}

// Yardstick of the whole road: read the file and run RC4 over it, nothing else.
void BM_ReadAndRc4Alone(benchmark::State& state) {
    const std::string& path = book_file_path();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string content = *platform::read_whole_file(path);
        raw_rc4().apply(content);
        bytes = content.size();
        benchmark::DoNotOptimize(content.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ReadAndRc4Alone)->Unit(benchmark::kMillisecond);

// Read, decipher into the same buffer (cut at the first zero) and parse over
// views, moving the record text out of the buffer.
void BM_WholeRoadReadDecipherParse(benchmark::State& state) {
    const std::string& path = book_file_path();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string content = *platform::read_whole_file(path);
        bytes = content.size();
        storage::decrypt_in_place("password", content, storage::BOOK_SIGNATURE.size());
        storage::ParseResult r = storage::parse_owned_book_text(std::move(content));
        if (r.outcome != storage::ParseOutcome::entries) state.SkipWithError("not read back");
        benchmark::DoNotOptimize(r.record_text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_WholeRoadReadDecipherParse)->Unit(benchmark::kMillisecond);

}  // namespace
