#include "cli/commands.h"

#include <sys/stat.h>

#include "cli/json.h"
#include "model/entry_store.h"
#include "platform/file_io.h"
#include "storage/book_format.h"
#include "storage/cipher.h"
#include "storage/signatures.h"
#include "text/codec.h"
#include "text/texts.h"

namespace dova::cli {
namespace {

using storage::ParseOutcome;

int fail(CommandContext& c, int code, const std::string& message) {
    c.io.err << "dova-cli: " << message << '\n';
    return code;
}

bool exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// The deciphered text of a book file, or the exit code that says why not.
int read_plain(CommandContext& c, const std::string& path, std::string& plain) {
    auto content = platform::read_whole_file(path);
    if (!content) return fail(c, kIoError, "cannot read " + path);
    if (!storage::starts_with_book_signature(*content)) {
        if (storage::starts_with_password_book_signature(*content)) {
            return fail(c, kNotABook, path + " is a password book, not a book");
        }
        return fail(c, kNotABook, path + " is not a book file");
    }
    if (!storage::cipher_available()) return fail(c, kIoError, "the cipher is not available");
    // Decipher in place: books can be large.
    if (!storage::decrypt_in_place(c.password, *content, storage::BOOK_SIGNATURE.size())) {
        return fail(c, kIoError, "the cipher is not available");
    }
    if (!content->starts_with(texts::CHECK_TEXT)) {
        return fail(c, kWrongPassword, "wrong password for " + path + " (no check text)");
    }
    plain = std::move(*content);
    return kOk;
}

int read_book(CommandContext& c, const std::string& path, storage::ParseResult& book) {
    std::string plain;
    if (int code = read_plain(c, path, plain); code != kOk) return code;
    book = storage::parse_owned_book_text(std::move(plain));
    if (book.outcome == ParseOutcome::no_check_text) {
        return fail(c, kWrongPassword, "wrong password for " + path + " (no check text)");
    }
    if (book.outcome == ParseOutcome::bad_layout) {
        return fail(c, kBadLayout, path + " is damaged: its sections are not in order");
    }
    return kOk;
}

// The cipher of `plain` behind the book signature, written atomically.
int write_book(CommandContext& c, const std::string& path, std::string_view plain) {
    if (!storage::cipher_available()) {
        return fail(c, kIoError, "the cipher is not available; nothing was written");
    }
    BookState no_state;
    std::string cipher =
        storage::encrypt_text(no_state, plain, c.password, storage::PasswordMode::given);
    // Never replace a book with the signature alone.
    if (cipher.size() != plain.size()) {
        return fail(c, kIoError, "enciphering failed; nothing was written");
    }
    std::string file;
    file.reserve(storage::BOOK_SIGNATURE.size() + cipher.size());
    file.append(storage::BOOK_SIGNATURE).append(cipher);
    std::string reason = platform::write_file_atomically(path, file);
    if (!reason.empty()) {
        return fail(c, kIoError, "cannot write " + path + ": " + text::gbk_to_utf8(reason));
    }
    return kOk;
}

int refuse_overwrite(CommandContext& c, const std::string& path) {
    return fail(c, kUsage, path + " exists; give --force to replace it");
}

// The body of record `number`, read as the editor would fetch it. The
// records are split once by the caller, so a long export stays linear.
std::optional<std::string_view> body_of(const std::vector<std::string_view>& records,
                                        std::int32_t number) {
    if (number < 1 || static_cast<std::size_t>(number) > records.size()) return std::nullopt;
    return model::piece_body(records[static_cast<std::size_t>(number) - 1]);
}

// Line breaks of the book are CR LF; a terminal wants LF.
std::string for_terminal(std::string_view gbk) {
    std::string utf8 = text::gbk_to_utf8(gbk);
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
        out.push_back(utf8[i]);
    }
    return out;
}

std::string fault_text(model::TextFault f) {
    return text::gbk_to_utf8(model::fault_message(f));
}

// A JSON string field as GBK, or the reason it cannot be had.
bool gbk_field(const json::Value& entry, std::u32string_view key, bool required, std::string& out,
               std::string& error) {
    const json::Value* v = entry.find(key);
    if (v == nullptr || v->kind == json::Value::Kind::null) {
        if (required) error = "has no " + text::code_points_to_utf8(key);
        return !required;
    }
    if (v->kind != json::Value::Kind::string) {
        error = text::code_points_to_utf8(key) + " is not a string";
        return false;
    }
    out = text::code_points_to_gbk(v->string);
    return true;
}

}  // namespace

int decrypt_command(CommandContext& c, const std::string& book) {
    std::string plain;
    if (int code = read_plain(c, book, plain); code != kOk) return code;
    c.io.out.write(plain.data(), static_cast<std::streamsize>(plain.size()));
    c.io.out.flush();
    return c.io.out ? kOk : fail(c, kIoError, "cannot write to standard output");
}

int encrypt_command(CommandContext& c, const std::string& plain_path, const std::string& book) {
    auto plain = platform::read_whole_file(plain_path);
    if (!plain) return fail(c, kIoError, "cannot read " + plain_path);
    if (plain->find('\0') != std::string::npos) {
        return fail(c, kBadLayout,
                    plain_path + " holds a zero byte; the book would end there on reading");
    }
    if (!c.force && exists(book)) return refuse_overwrite(c, book);
    return write_book(c, book, *plain);
}

int list_command(CommandContext& c, const std::string& book) {
    storage::ParseResult parsed;
    if (int code = read_book(c, book, parsed); code != kOk) return code;
    for (const auto& e : parsed.entries) {
        c.io.out << e.record_number << '\t' << for_terminal(e.title) << '\n';
    }
    return kOk;
}

int export_command(CommandContext& c, const std::string& book, ExportFormat format) {
    storage::ParseResult parsed;
    if (int code = read_book(c, book, parsed); code != kOk) return code;
    const auto records = model::split_records(parsed.record_text);
    std::ostream& out = c.io.out;
    if (format == ExportFormat::json) out << "{\"entries\": [";
    bool first = true;
    for (const auto& e : parsed.entries) {
        const auto body = body_of(records, e.record_number);
        switch (format) {
            case ExportFormat::json:
                out << (first ? "\n" : ",\n") << "  {\"title\": " << json::quote_gbk(e.title)
                    << ", \"record_number\": " << e.record_number
                    << ", \"body\": " << (body ? json::quote_gbk(*body) : "null") << '}';
                break;
            case ExportFormat::markdown:
                out << (first ? "" : "\n") << "# " << for_terminal(e.title) << "\n\n"
                    << (body ? for_terminal(*body) : "*(record not found)*") << '\n';
                break;
            case ExportFormat::text:
                out << (first ? "" : "\n") << for_terminal(e.title) << '\n'
                    << (body ? for_terminal(*body) : "(record not found)") << '\n';
                break;
        }
        first = false;
    }
    if (format == ExportFormat::json) out << (first ? "]}\n" : "\n]}\n");
    out.flush();
    return out ? kOk : fail(c, kIoError, "cannot write to standard output");
}

int create_command(CommandContext& c, const std::string& book, const std::string& from) {
    if (!c.force && exists(book)) return refuse_overwrite(c, book);
    auto source = platform::read_whole_file(from);
    if (!source) return fail(c, kIoError, "cannot read " + from);
    json::Value doc;
    json::ParseError perr;
    if (!json::parse(*source, doc, perr)) {
        return fail(c, kBadLayout,
                    from + ":" + std::to_string(perr.line) + ":" + std::to_string(perr.column) +
                        ": " + perr.message);
    }
    const json::Value* entries = doc.find(U"entries");
    if (doc.kind != json::Value::Kind::object || entries == nullptr ||
        entries->kind != json::Value::Kind::array) {
        return fail(c, kBadLayout, from + ": expected {\"entries\": [...]}");
    }

    model::EntryIndex index;
    std::string record_text;
    for (std::size_t i = 0; i < entries->array.size(); ++i) {
        const json::Value& e = entries->array[i];
        const std::string where = from + ": entry " + std::to_string(i + 1) + " ";
        if (e.kind != json::Value::Kind::object)
            return fail(c, kBadLayout, where + "is not an object");
        std::string title, body, error;
        if (!gbk_field(e, U"title", true, title, error) ||
            !gbk_field(e, U"body", false, body, error)) {
            return fail(c, kBadLayout, where + error);
        }
        if (auto f = model::check_title(title); f != model::TextFault::none) {
            return fail(c, kBadLayout, where + "title: " + fault_text(f));
        }
        if (auto f = model::check_body(body); f != model::TextFault::none) {
            return fail(c, kBadLayout, where + "body: " + fault_text(f));
        }
        model::append_record(record_text, body);
        index.items.push_back({std::move(title), static_cast<std::int32_t>(i + 1)});
    }

    storage::BuildResult built = storage::build_book_text(index, record_text);
    if (!built.ok) return fail(c, kBadLayout, "the book cannot hold: " + fault_text(built.fault));
    return write_book(c, book, built.text);
}

}  // namespace dova::cli
