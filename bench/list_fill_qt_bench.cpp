// The entry list with 100 000 entries: filling the list's model after a book
// was opened, and the cost of one change in a list that long. Runs on Qt's
// offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListView>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/book_state.h"
#include "text/codec.h"
#include "ui/qt/object_names.h"
#include "ui/qt/qt_window.h"

namespace {

constexpr int kEntries = 100000;

struct Shown {
    dova::BookState state;
    std::unique_ptr<dova::ui::qt::QtWindow> window;
    QListView* list = nullptr;

    Shown() {
        window = std::make_unique<dova::ui::qt::QtWindow>(state);
        list = window->findChild<QListView*>(QString::fromUtf8(dova::ui::qt::names::LIST));
        window->set_outer_size(dova::ui::LIST_WIDTH, dova::ui::LIST_HEIGHT);
        window->show();
        QCoreApplication::processEvents();
    }
    void fill_index(int n) {
        const std::string day = dova::text::utf8_to_gbk("日记 ");
        state.entry_index.clear();
        state.entry_index.items.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            state.entry_index.items.push_back({day + std::to_string(i), i + 1});
        }
        state.entry_index.focused_index = 0;
    }
    // Lays the view out and paints what is visible, as showing it would.
    void lay_out() {
        list->doItemsLayout();
        list->viewport()->repaint();
    }
};

// Opening a book: the index is filled, the list is told once, and the view
// lays out and paints.
void BM_FillList(benchmark::State& st) {
    Shown s;
    for (auto _ : st) {
        st.PauseTiming();
        s.fill_index(kEntries);
        st.ResumeTiming();
        s.window->list_reset();
        s.lay_out();
    }
    st.counters["entries"] = kEntries;
}
BENCHMARK(BM_FillList)->Unit(benchmark::kMillisecond);

// One new entry at the end of a long list, selected and shown.
void BM_AppendToLongList(benchmark::State& st) {
    Shown s;
    s.fill_index(kEntries);
    s.window->list_reset();
    s.lay_out();
    for (auto _ : st) {
        const int n = s.state.entry_index.size();
        s.state.entry_index.items.push_back({"new", n + 1});
        s.window->list_inserted(n);
        s.window->select_list_item(n);
        s.lay_out();
    }
}
BENCHMARK(BM_AppendToLongList)->Unit(benchmark::kMicrosecond);

// Deleting the first entry of a long list.
void BM_RemoveFromLongList(benchmark::State& st) {
    Shown s;
    s.fill_index(kEntries + 200);
    s.window->list_reset();
    s.lay_out();
    for (auto _ : st) {
        s.state.entry_index.items.erase(s.state.entry_index.items.begin());
        s.window->list_removed(0);
        s.lay_out();
    }
}
BENCHMARK(BM_RemoveFromLongList)->Unit(benchmark::kMicrosecond)->Iterations(200);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
