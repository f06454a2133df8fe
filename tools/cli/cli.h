// dova-cli: reads, exports and creates books from a terminal, with the same
// code as the program.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/password.h"

namespace dova::cli {

enum ExitCode : int {
    kOk = 0,
    kUsage = 2,
    kNotABook = 3,       // the file does not begin with the book signature
    kWrongPassword = 4,  // no check text after deciphering
    kBadLayout = 5,      // the book's sections are wrong, or texts a book cannot carry
    kIoError = 6,
};

struct Io {
    std::ostream& out;
    std::ostream& err;
    PasswordSources passwords;
};

// `args` are the arguments after the program's name.
int run(const std::vector<std::string>& args, Io& io);

}  // namespace dova::cli
