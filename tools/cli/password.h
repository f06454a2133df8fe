// Where the tool's password comes from: --password-hex, --password-file,
// DOVA_PASSWORD, a prompt on a terminal, or else the empty password.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace dova::cli {

struct PasswordOptions {
    std::optional<std::string> hex;   // --password-hex
    std::optional<std::string> file;  // --password-file
};

// What the outside world offers; the tool's main fills it from the process,
// tests with fixed answers.
struct PasswordSources {
    std::function<std::optional<std::string>(const char* name)> getenv;
    bool stdin_is_terminal = false;
    // Shows the prompt and reads one line without echo; nothing on end of input.
    std::function<std::optional<std::string>(std::string_view prompt)> read_secret;
};

struct PasswordResult {
    bool ok = false;
    std::string password;  // GBK bytes, as the cipher takes them
    std::string error;     // UTF-8, when not ok
};

// `confirm` asks a typed password twice (for a new book).
PasswordResult get_password(const PasswordOptions& options, const PasswordSources& sources,
                            bool confirm);

// Bytes from hex digits; nothing when the text is not an even run of them.
std::optional<std::string> from_hex(std::string_view hex);

// Reads a line from standard input with echo turned off when it is a terminal.
std::optional<std::string> read_secret_from_terminal(std::string_view prompt);

}  // namespace dova::cli
