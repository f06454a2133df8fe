#include "cli/cli.h"

#include <optional>

#include "cli/commands.h"

namespace dova::cli {
namespace {

constexpr const char* kPasswordHelp = R"(
Password (the first that applies):
  --password-hex HEX     the password's exact bytes in hex
  --password-file FILE   the file's bytes, one trailing line break removed
  DOVA_PASSWORD          environment variable, UTF-8 (converted to the book's GBK)
  a prompt without echo  when standard input is a terminal
  the empty password     otherwise
)";

constexpr const char* kExitHelp = R"(
Exit codes: 0 success, 2 usage, 3 not a book file, 4 wrong password (no check
text), 5 damaged book or text a book cannot hold, 6 I/O error.
)";

struct Command {
    const char* name;
    const char* synopsis;
    const char* description;
    std::size_t operands;
    bool takes_force, takes_format, takes_from;
};

constexpr Command kCommands[] = {
    {"decrypt", "decrypt BOOK",
     "Writes the book's plain text (GBK bytes, as deciphered) to standard output.", 1, false, false,
     false},
    {"encrypt", "encrypt PLAIN BOOK [--force]",
     "Writes the book signature and the cipher of PLAIN's bytes to BOOK. An existing\n"
     "BOOK is replaced only with --force.",
     2, true, false, false},
    {"list", "list BOOK", "Prints one line per entry: its record number, a tab and its title.", 1,
     false, false, false},
    {"export", "export BOOK [--format json|markdown|text]",
     "Prints every entry's title and body in UTF-8 (default json):\n"
     "  {\"entries\": [{\"title\": ..., \"record_number\": ..., \"body\": ...}]}\n"
     "with body null where the entry's record is not found.",
     1, false, true, false},
    {"create", "create BOOK --from FILE.json [--force]",
     "Makes a new book from a JSON file in the form export writes (titles and bodies\n"
     "in UTF-8; record numbers are assigned 1..n in order). Texts a book cannot hold\n"
     "are refused. An existing BOOK is replaced only with --force.",
     1, true, false, true},
};

void tool_help(std::ostream& out) {
    out << "Usage: dova-cli COMMAND [OPTIONS]\n\nReads, exports and creates diary books.\n\n"
           "Commands:\n";
    for (const auto& c : kCommands) out << "  " << c.synopsis << '\n';
    out << "\n'dova-cli COMMAND --help' tells more about one command.\n"
        << kPasswordHelp << kExitHelp;
}

void command_help(std::ostream& out, const Command& c) {
    out << "Usage: dova-cli " << c.synopsis << "\n\n"
        << c.description << '\n'
        << kPasswordHelp << kExitHelp;
}

struct Args {
    std::vector<std::string> operands;
    PasswordOptions password;
    std::optional<std::string> format, from;
    bool force = false;
    bool help = false;
};

int usage(Io& io, const std::string& message) {
    io.err << "dova-cli: " << message << " (see dova-cli --help)\n";
    return kUsage;
}

// Options may stand anywhere; "--opt value" and "--opt=value" both work.
bool parse_args(const std::vector<std::string>& args, std::size_t from, Args& a,
                std::string& error) {
    bool options_end = false;
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options_end || arg == "-" || !arg.starts_with("-")) {
            a.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options_end = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            a.help = true;
            continue;
        }
        if (arg == "--force") {
            a.force = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (auto eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        std::optional<std::string>* slot = name == "--password-file"  ? &a.password.file
                                           : name == "--password-hex" ? &a.password.hex
                                           : name == "--format"       ? &a.format
                                           : name == "--from"         ? &a.from
                                                                      : nullptr;
        if (slot == nullptr) {
            error = "unknown option " + name;
            return false;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (*slot) {
            error = name + " given twice";
            return false;
        }
        *slot = std::move(value);
    }
    return true;
}

}  // namespace

int run(const std::vector<std::string>& args, Io& io) {
    if (args.empty()) {
        tool_help(io.err);
        return kUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        tool_help(io.out);
        return kOk;
    }
    const Command* cmd = nullptr;
    for (const auto& c : kCommands) {
        if (args[0] == c.name) cmd = &c;
    }
    if (cmd == nullptr) return usage(io, "unknown command " + args[0]);

    Args a;
    std::string error;
    if (!parse_args(args, 1, a, error)) return usage(io, error);
    if (a.help) {
        command_help(io.out, *cmd);
        return kOk;
    }
    const std::string name = cmd->name;
    if (a.force && !cmd->takes_force) return usage(io, name + " does not take --force");
    if (a.format && !cmd->takes_format) return usage(io, name + " does not take --format");
    if (a.from && !cmd->takes_from) return usage(io, name + " does not take --from");
    if (a.operands.size() != cmd->operands) {
        return usage(io, name + " takes " + std::to_string(cmd->operands) +
                             (cmd->operands == 1 ? " file" : " files"));
    }
    ExportFormat format = ExportFormat::json;
    if (a.format) {
        if (*a.format == "json") {
            format = ExportFormat::json;
        } else if (*a.format == "markdown") {
            format = ExportFormat::markdown;
        } else if (*a.format == "text") {
            format = ExportFormat::text;
        } else {
            return usage(io, "unknown format " + *a.format + " (json, markdown or text)");
        }
    }
    if (name == "create" && !a.from) return usage(io, "create needs --from FILE.json");

    PasswordResult pw = get_password(a.password, io.passwords, name == "create");
    if (!pw.ok) return usage(io, pw.error);

    CommandContext c{io, std::move(pw.password), a.force};
    const auto& op = a.operands;
    if (name == "decrypt") return decrypt_command(c, op[0]);
    if (name == "encrypt") return encrypt_command(c, op[0], op[1]);
    if (name == "list") return list_command(c, op[0]);
    if (name == "export") return export_command(c, op[0], format);
    return create_command(c, op[0], *a.from);
}

}  // namespace dova::cli
