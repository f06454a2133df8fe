// Opening a book of 100 000 entries (about 100 MB) in the real window: the
// time the window is busy, from reading the file to the list laid out and
// painted, against reading, deciphering and parsing alone. Runs on Qt's
// offscreen platform.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QListView>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/book_state.h"
#include "platform/file_io.h"
#include "storage/book_format.h"
#include "storage/book_io.h"
#include "storage/cipher.h"
#include "storage/signatures.h"
#include "text/codec.h"
#include "ui/qt/object_names.h"
#include "ui/qt/qt_window.h"

namespace {

constexpr int kEntries = 100000;
constexpr std::string_view kPassword = "password";

// The book file, written once per run and removed at exit.
const std::string& book_path() {
    static const std::string path = [] {
        const std::string title = dova::text::utf8_to_gbk("日记 ");
        std::string body;
        const std::string line =
            dova::text::utf8_to_gbk("今天天气很好，我们去公园散步，看见了很多花。\r\n");
        while (body.size() < 1000) body += line;
        dova::model::EntryIndex index;
        std::string records;
        records.reserve(static_cast<std::size_t>(kEntries) * (body.size() + 10));
        for (int i = 0; i < kEntries; ++i) {
            index.items.push_back({title + std::to_string(i), i + 1});
            records += "\r\n[\xCD\xB7]";
            records += body;
            records += "[\xCE\xB2]";
        }
        auto built = dova::storage::build_book_text(index, records);
        dova::BookState s;
        std::string content(dova::storage::BOOK_SIGNATURE);
        content += dova::storage::encrypt_text(s, built.text, kPassword,
                                               dova::storage::PasswordMode::given);
        char name[] = "/tmp/dova-open-bench-XXXXXX";
        int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        dova::platform::write_file_atomically(name, content);
        std::atexit([] { std::remove(book_path().c_str()); });
        return std::string(name);
    }();
    return path;
}

// The storage road alone: read, decipher in place, parse.
void BM_ReadDecipherParse(benchmark::State& st) {
    const std::string& path = book_path();
    for (auto _ : st) {
        std::string content = *dova::platform::read_whole_file(path);
        dova::storage::decrypt_in_place(kPassword, content, dova::storage::BOOK_SIGNATURE.size());
        auto r = dova::storage::parse_owned_book_text(std::move(content));
        if (r.outcome != dova::storage::ParseOutcome::entries) st.SkipWithError("not read back");
        benchmark::DoNotOptimize(r.record_text.data());
    }
}
BENCHMARK(BM_ReadDecipherParse)->Unit(benchmark::kMillisecond);

// The same book opened through the window's command road: the list filled,
// laid out and painted, as the user sees it.
void BM_OpenBookInWindow(benchmark::State& st) {
    const std::string& path = book_path();
    dova::BookState state;
    auto window = std::make_unique<dova::ui::qt::QtWindow>(state);
    auto* list = window->findChild<QListView*>(QString::fromUtf8(dova::ui::qt::names::LIST));
    window->set_outer_size(dova::ui::LIST_WIDTH, dova::ui::LIST_HEIGHT);
    window->show();
    QCoreApplication::processEvents();
    for (auto _ : st) {
        st.PauseTiming();
        state.entry_index.clear();
        state.record_text.clear();
        state.record_text.shrink_to_fit();
        window->list_reset();
        state.path_list = {path};
        state.book_password = std::string(kPassword);
        st.ResumeTiming();
        dova::storage::open_book(state, *window);
        list->doItemsLayout();
        list->viewport()->repaint();
        if (state.entry_index.size() != kEntries) st.SkipWithError("not opened");
    }
}
BENCHMARK(BM_OpenBookInWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
