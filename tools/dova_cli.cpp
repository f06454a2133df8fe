// dova-cli: the command-line face of the book storage; see `dova-cli --help`.
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    dova::cli::Io io{std::cout, std::cerr, {}};
    io.passwords.getenv = [](const char* name) -> std::optional<std::string> {
        const char* v = std::getenv(name);
        return v ? std::optional<std::string>(v) : std::nullopt;
    };
    io.passwords.stdin_is_terminal = ::isatty(STDIN_FILENO) == 1;
    io.passwords.read_secret = dova::cli::read_secret_from_terminal;
    return dova::cli::run(std::vector<std::string>(argv + 1, argv + argc), io);
}
