// The entry operations on books of 1 000, 10 000 and 100 000 entries with
// bodies of about 1 KB, each set against one plain copy of record_text made
// in the same run. Goal: every operation within 3x that copy at 100 000.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "model/entry_store.h"
#include "text/texts.h"

using namespace dova;
using namespace dova::model;

namespace {

// About 1 KB of Chinese prose: common characters, now and then one of the
// extended set whose second byte may be "[" and so a false candidate for
// "[尾]", full-width punctuation and a line break every few dozen bytes.
std::string chinese_body(std::mt19937& rng) {
    std::string body;
    while (body.size() < 1000) {
        unsigned roll = rng() % 100;
        if (roll < 90) {
            body.push_back(static_cast<char>(0xB0 + rng() % 0x48));
            body.push_back(static_cast<char>(0xA1 + rng() % 0x5E));
        } else if (roll < 93) {
            body.push_back(static_cast<char>(0x81 + rng() % 0x20));
            body.push_back(static_cast<char>(0x40 + rng() % 0x3F));
        } else if (roll < 98) {
            body += (roll % 2) ? "\xA3\xAC" : "\xA1\xA3";  // ， 。
        } else {
            body += "\r\n";
        }
    }
    return body;
}

struct Book {
    BookState state;
    std::string last_body;
};

// Built once per size and copied into each benchmark.
const Book& book_of(int entries) {
    static std::map<int, std::unique_ptr<Book>> books;
    auto& slot = books[entries];
    if (slot) return *slot;
    slot = std::make_unique<Book>();
    std::mt19937 rng(static_cast<unsigned>(entries));
    BookState& s = slot->state;
    for (int i = 0; i < entries; ++i) {
        std::string body = chinese_body(rng);
        s.record_text += "\r\n";
        s.record_text += texts::RECORD_HEAD;
        s.record_text += body;
        s.record_text += texts::RECORD_TAIL;
        s.entry_index.items.push_back({date_title(2024, 1 + i % 12, 1 + i % 28), i + 1});
        if (i + 1 == entries) slot->last_body = body;
    }
    s.entry_index.focused_index = 0;
    return *slot;
}

int entries_of(const benchmark::State& st) {
    return static_cast<int>(st.range(0));
}

void BM_CopyRecordText(benchmark::State& st) {
    const std::string& text = book_of(entries_of(st)).state.record_text;
    for (auto _ : st) {
        std::string copy = text;
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * text.size()));
}

// The same copy into a buffer that is already big enough: no allocation and
// no fresh pages, only the bytes moved. A stricter yardstick.
void BM_CopyIntoBuffer(benchmark::State& st) {
    const std::string& text = book_of(entries_of(st)).state.record_text;
    std::string copy = text;
    for (auto _ : st) {
        copy.assign(text);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * text.size()));
}

void BM_Append(benchmark::State& st) {
    BookState s = book_of(entries_of(st)).state;
    const std::size_t size = s.record_text.size();
    s.record_text.reserve(size + 4096);
    s.entry_index.items.reserve(s.entry_index.items.size() + 16);
    for (auto _ : st) {
        append_entry(s, "title");
        // Undoing an append is two cuts at the end.
        s.record_text.resize(size);
        s.entry_index.items.pop_back();
    }
}

void BM_InsertFirst(benchmark::State& st) {
    BookState s = book_of(entries_of(st)).state;
    s.entry_index.focused_index = 0;
    // Room for the new record, as a string that has grown by appending has,
    // so the first iteration does not pay for moving the whole book.
    s.record_text.reserve(s.record_text.size() + 4096);
    s.entry_index.items.reserve(s.entry_index.items.size() + 16);
    for (auto _ : st) {
        insert_entry(s, "title");
        st.PauseTiming();
        delete_entry(s);  // the new item keeps the focus
        st.ResumeTiming();
    }
}

void BM_DeleteFirst(benchmark::State& st) {
    BookState s = book_of(entries_of(st)).state;
    s.entry_index.focused_index = 0;
    const std::string body(fetch_record_body(s, 1).body);
    const std::string title = s.entry_index.items[0].title;
    for (auto _ : st) {
        delete_entry(s);
        st.PauseTiming();
        insert_entry(s, title);
        store_record_body(s, 1, body);
        st.ResumeTiming();
    }
}

void BM_FetchLast(benchmark::State& st) {
    const BookState& s = book_of(entries_of(st)).state;
    const auto last = static_cast<std::int32_t>(s.entry_index.size());
    for (auto _ : st) {
        FetchResult r = fetch_record_body(s, last);
        benchmark::DoNotOptimize(r.body.data());
    }
}

void BM_StoreLast(benchmark::State& st) {
    const Book& b = book_of(entries_of(st));
    BookState s = b.state;
    const auto last = static_cast<std::int32_t>(s.entry_index.size());
    // Two bodies of the same length, stored in turn, so every iteration is a
    // real change and the book keeps its size.
    const std::string bodies[2] = {b.last_body, "\xD0\xC2" + b.last_body.substr(2)};
    int turn = 0;
    for (auto _ : st) {
        store_record_body(s, last, bodies[turn ^= 1]);
        benchmark::ClobberMemory();
    }
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_CopyRecordText)->Apply(sizes);
BENCHMARK(BM_CopyIntoBuffer)->Apply(sizes);
BENCHMARK(BM_Append)->Apply(sizes);
BENCHMARK(BM_InsertFirst)->Apply(sizes);
BENCHMARK(BM_DeleteFirst)->Apply(sizes);
BENCHMARK(BM_FetchLast)->Apply(sizes);
BENCHMARK(BM_StoreLast)->Apply(sizes);

// Prints the usual table, then each operation as a multiple of the copy of
// the same book.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Iteration && !r.error_occurred) {
                times_[r.benchmark_name()] = r.GetAdjustedCPUTime();
            }
        }
    }

    void print_ratios() const {
        std::printf(
            "\nEach operation as a multiple of copying record_text (CPU time, same book):\n");
        std::printf("  %-26s %12s %12s\n", "", "new copy", "into buffer");
        for (const auto& [name, time] : times_) {
            auto slash = name.find('/');
            if (slash == std::string::npos || name.starts_with("BM_Copy")) continue;
            auto fresh = times_.find("BM_CopyRecordText" + name.substr(slash));
            auto reused = times_.find("BM_CopyIntoBuffer" + name.substr(slash));
            if (fresh == times_.end() || reused == times_.end()) continue;
            std::printf("  %-26s %11.3fx %11.3fx\n", name.c_str(), time / fresh->second,
                        time / reused->second);
        }
    }

  private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print_ratios();
    benchmark::Shutdown();
    return 0;
}
