#include "cli/password.h"

#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <iostream>

#include "platform/file_io.h"
#include "text/codec.h"

namespace dova::cli {
namespace {

void drop_one_line_break(std::string& s) {
    if (s.ends_with("\r\n")) {
        s.resize(s.size() - 2);
    } else if (s.ends_with('\n') || s.ends_with('\r')) {
        s.pop_back();
    }
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The terminal's settings while echo is off, so an interrupt can restore them.
termios g_saved_terminal{};

extern "C" void restore_terminal_and_reraise(int sig) {
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_saved_terminal);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

}  // namespace

std::optional<std::string> from_hex(std::string_view hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int hi = hex_digit(hex[i]);
        int lo = hex_digit(hex[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<char>(hi << 4 | lo));
    }
    return out;
}

PasswordResult get_password(const PasswordOptions& options, const PasswordSources& sources,
                            bool confirm) {
    PasswordResult r;
    if (options.hex && options.file) {
        r.error = "give either --password-hex or --password-file, not both";
        return r;
    }
    if (options.hex) {
        auto bytes = from_hex(*options.hex);
        if (!bytes) {
            r.error = "--password-hex needs an even number of hex digits";
            return r;
        }
        r.password = std::move(*bytes);
        r.ok = true;
        return r;
    }
    if (options.file) {
        // The file's own bytes: a password saved as GBK stays GBK.
        auto content = platform::read_whole_file(*options.file);
        if (!content) {
            r.error = "cannot read the password file " + *options.file;
            return r;
        }
        r.password = std::move(*content);
        drop_one_line_break(r.password);
        r.ok = true;
        return r;
    }
    // Typed passwords arrive as UTF-8; books made on other systems hold GBK.
    if (auto env = sources.getenv ? sources.getenv("DOVA_PASSWORD") : std::nullopt) {
        r.password = text::utf8_to_gbk(*env);
        r.ok = true;
        return r;
    }
    if (sources.stdin_is_terminal && sources.read_secret) {
        auto typed = sources.read_secret("Password: ");
        if (!typed) {
            r.error = "no password entered";
            return r;
        }
        if (confirm) {
            auto again = sources.read_secret("Repeat password: ");
            if (!again || *again != *typed) {
                r.error = "the passwords do not match";
                return r;
            }
        }
        r.password = text::utf8_to_gbk(*typed);
        r.ok = true;
        return r;
    }
    r.ok = true;  // no terminal to ask: the empty password
    return r;
}

std::optional<std::string> read_secret_from_terminal(std::string_view prompt) {
    std::cerr << prompt << std::flush;
    termios old{};
    const bool terminal = ::tcgetattr(STDIN_FILENO, &old) == 0;
    using Handler = void (*)(int);
    Handler old_int = SIG_DFL, old_term = SIG_DFL;
    if (terminal) {
        g_saved_terminal = old;
        old_int = std::signal(SIGINT, restore_terminal_and_reraise);
        old_term = std::signal(SIGTERM, restore_terminal_and_reraise);
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    bool got = false;
    for (int c; (c = std::getchar()) != EOF;) {
        got = true;
        if (c == '\n') break;
        line.push_back(static_cast<char>(c));
    }
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
        std::signal(SIGINT, old_int);
        std::signal(SIGTERM, old_term);
    }
    if (!got) {
        std::cerr << '\n';
        return std::nullopt;
    }
    drop_one_line_break(line);
    return line;
}

}  // namespace dova::cli
