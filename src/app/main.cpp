// The entry routine: the working directory, the book state, the window and
// its event loop.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/book_state.h"
#include "app/start_up.h"
#include "ui/qt/qt_window.h"

namespace {

// Relative paths on the command line are taken from the program's folder.
void enter_program_directory() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && exe.has_parent_path()) std::filesystem::current_path(exe.parent_path(), error);
}

bool set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

bool platform_named(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
            return true;
        }
    }
    return false;
}

// With no display to open, Qt would only abort with a terse message. Say
// what is missing and how to see the window all the same.
bool display_available(int argc, char** argv) {
    if (set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY") ||
        platform_named(argc, argv)) {
        return true;
    }
    std::cerr << "dova: no display found (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                 "  To use the window from a VNC viewer on this machine, start it with\n"
                 "    bash tools/run-dova.sh\n"
                 "  which serves it on 127.0.0.1:5900 (DOVA_VNC_PORT changes the port), or\n"
                 "    DOVA_DISPLAY=xvfb bash tools/run-dova.sh\n"
                 "  to run it under Xvfb.\n";
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    enter_program_directory();
    if (!display_available(argc, argv)) return 1;

    dova::BookState state;
    QApplication app(argc, argv);
    // Qt's own texts (file dialog, the edit box's menu) in Chinese when the
    // translations are installed.
    QTranslator qt_texts;
    if (qt_texts.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qt_texts);
    }

    dova::ui::qt::QtWindow window(state);
    // Qt has taken its own options out of argv; the rest are the program's,
    // as bytes in the platform's encoding.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    dova::app::StartUpSteps steps;
    // Runs before the window is shown: every box of start-up appears while
    // the main window is still invisible.
    dova::app::start_up(state, window, std::move(arguments), steps);
    window.show();
    const int code = QApplication::exec();
    (void)code;
    dova::app::clean_up(state);
    return 0;
}
