#include "cli/cli.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/json.h"
#include "platform/file_io.h"
#include "storage/book_format.h"
#include "storage/cipher.h"
#include "storage/signatures.h"
#include "text/codec.h"

using namespace dova;
using namespace dova::cli;

namespace {

std::string G(std::string_view utf8) {
    return text::utf8_to_gbk(utf8);
}

// Runs the tool in memory: fixed environment, optional terminal answers.
class Cli : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/dova-cli-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        env_["DOVA_PASSWORD"] = "密码";
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    void put(const std::string& name, std::string_view content) {
        ASSERT_EQ(platform::write_file_atomically(path(name), content), "");
    }
    std::string get(const std::string& name) const {
        return platform::read_whole_file(path(name)).value_or("<missing>");
    }

    int run(std::vector<std::string> args) {
        out_.str("");
        err_.str("");
        Io io{out_, err_, {}};
        io.passwords.getenv = [this](const char* name) -> std::optional<std::string> {
            auto it = env_.find(name);
            return it == env_.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
        io.passwords.stdin_is_terminal = terminal_;
        io.passwords.read_secret = [this](std::string_view) -> std::optional<std::string> {
            if (typed_.empty()) return std::nullopt;
            std::string s = typed_.front();
            typed_.pop_front();
            return s;
        };
        return cli::run(args, io);
    }

    // A book file holding `plain` under the GBK password 密码.
    std::string book_file(std::string_view plain) {
        std::string cipher;
        EXPECT_TRUE(storage::rc4_md5_apply(G("密码"), plain, cipher));
        return std::string(storage::BOOK_SIGNATURE) + cipher;
    }

    std::string dir_;
    std::map<std::string, std::string> env_;
    bool terminal_ = false;
    std::deque<std::string> typed_;
    std::ostringstream out_, err_;
};

const char* kEntriesJson = R"({"entries": [
  {"title": "第一天", "record_number": 9, "body": "今天晴\r\n出门散步 😀"},
  {"title": "", "body": ""},
  {"title": "\ud83d\ude00 emoji", "body": null},
  {"title": "raw\udcffbyte", "body": "tab\tquote\" \udc80x"}
]})";

}  // namespace

TEST_F(Cli, CreateThenExportGivesTheSameTitlesAndBodies) {
    put("in.json", kEntriesJson);
    ASSERT_EQ(run({"create", path("b.dova"), "--from", path("in.json")}), kOk) << err_.str();

    ASSERT_EQ(run({"export", path("b.dova")}), kOk) << err_.str();
    json::Value doc;
    json::ParseError e;
    ASSERT_TRUE(json::parse(out_.str(), doc, e)) << e.message << "\n" << out_.str();
    const auto& got = doc.find(U"entries")->array;
    struct Want {
        std::u32string title, body;
    } want[] = {{U"第一天", U"今天晴\r\n出门散步 😀"},
                {U"", U""},
                {U"😀 emoji", U""},  // null comes in as an empty body
                {std::u32string(U"raw") + char32_t(0xDCFF) + U"byte",
                 std::u32string(U"tab\tquote\" ") + char32_t(0xDC80) + U"x"}};
    ASSERT_EQ(got.size(), std::size(want));
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_TRUE(got[i].find(U"title")->string == want[i].title) << i;
        EXPECT_TRUE(got[i].find(U"body")->string == want[i].body) << i;
        EXPECT_EQ(got[i].find(U"record_number")->number, std::to_string(i + 1));
    }

    ASSERT_EQ(run({"list", path("b.dova")}), kOk);
    EXPECT_EQ(out_.str(),
              "1\t第一天\n2\t\n3\t😀 emoji\n4\traw\xFF"
              "byte\n");
}

TEST_F(Cli, CreatedBookIsExactlyTheSignatureAndTheCipherOfTheBookText) {
    put("in.json", R"({"entries": [{"title": "第一天", "body": "今天晴"}]})");
    ASSERT_EQ(run({"create", path("b.dova"), "--from", path("in.json")}), kOk) << err_.str();
    const std::string plain =
        G("校验密码用文本\r\n【分割用文本】\r\n117\r\n【分割用文本】\r\n第一天,1\r\n【分割用文本】"
          "\r\n[头]今天晴[尾]\r\n【分割用文本】\r\n[结束]");
    EXPECT_EQ(get("b.dova"), book_file(plain));

    ASSERT_EQ(run({"decrypt", path("b.dova")}), kOk);
    EXPECT_EQ(out_.str(), plain);
}

TEST_F(Cli, ExportFormatsAndMissingRecords) {
    // Entry 2 names a record that is not there; line breaks become LF.
    const std::string plain =
        storage::build_book_text({{{G("甲"), 1}, {G("乙"), 5}}, 0}, G("\r\n[头]一\r\n二[尾]")).text;
    put("b.dova", book_file(plain));
    struct Case {
        const char* format;
        std::string want;
    } cases[] = {
        {"json",
         "{\"entries\": [\n  {\"title\": \"甲\", \"record_number\": 1, \"body\": \"一\\r\\n二\"},\n"
         "  {\"title\": \"乙\", \"record_number\": 5, \"body\": null}\n]}\n"},
        {"markdown", "# 甲\n\n一\n二\n\n# 乙\n\n*(record not found)*\n"},
        {"text", "甲\n一\n二\n\n乙\n(record not found)\n"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(run({"export", path("b.dova"), "--format", c.format}), kOk) << err_.str();
        EXPECT_EQ(out_.str(), c.want) << c.format;
    }
    put("empty.dova", book_file(storage::build_book_text({}, "").text));
    ASSERT_EQ(run({"export", path("empty.dova")}), kOk);
    EXPECT_EQ(out_.str(), "{\"entries\": []}\n");
}

TEST_F(Cli, ExitCodesOfBooksThatCannotBeRead) {
    put("plain.txt", "not a book at all");
    put("password.book", std::string(storage::PASSWORD_BOOK_SIGNATURE) + "xx");
    put("good.dova", book_file(storage::build_book_text({{{"t", 1}}, 0}, "\r\n[头][尾]").text));
    put("damaged.dova", book_file(G("校验密码用文本【分割用文本】90【分割用文本】")));
    put("bare.dova", storage::BOOK_SIGNATURE);
    struct Case {
        std::vector<std::string> args;
        int code;
    } cases[] = {
        {{"list", path("missing.dova")}, kIoError},
        {{"list", dir_}, kIoError},
        {{"list", path("plain.txt")}, kNotABook},
        {{"export", path("password.book")}, kNotABook},
        {{"decrypt", path("plain.txt")}, kNotABook},
        {{"list", path("good.dova"), "--password-hex", "00"}, kWrongPassword},
        {{"decrypt", path("good.dova"), "--password-hex", "00"}, kWrongPassword},
        {{"list", path("bare.dova")}, kWrongPassword},
        {{"list", path("damaged.dova")}, kBadLayout},
        {{"export", path("damaged.dova")}, kBadLayout},
        {{"decrypt", path("damaged.dova")}, kOk},  // the raw text is still there to mend
        {{"list", path("good.dova")}, kOk},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.args), c.code) << c.args[0] << " " << c.args[1];
        if (c.code != kOk) {
            EXPECT_TRUE(out_.str().empty());
            // One clear line on standard error.
            const std::string err = err_.str();
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        }
    }
}

TEST_F(Cli, UsageErrorsAndHelp) {
    put("in.json", "{\"entries\": []}");
    const std::vector<std::vector<std::string>> usage_errors = {
        {},
        {"bogus"},
        {"list"},
        {"list", "a", "b"},
        {"list", "a", "--format", "json"},
        {"list", "a", "--force"},
        {"list", "a", "--nope"},
        {"list", "a", "--password-file"},
        {"list", "a", "--password-hex", "abc"},
        {"list", "a", "--password-hex", "zz"},
        {"list", "a", "--password-hex", "00", "--password-file", "f"},
        {"list", "a", "--password-hex", "00", "--password-hex", "01"},
        {"export", "a", "--format", "html"},
        {"create", path("new.dova")},
        {"decrypt", "a", "--from", "x"},
        {"encrypt", "a"},
    };
    for (const auto& args : usage_errors) {
        EXPECT_EQ(run(args), kUsage) << (args.empty() ? "(none)" : args[0]);
        EXPECT_FALSE(err_.str().empty());
    }
    for (const char* cmd : {"decrypt", "encrypt", "list", "export", "create"}) {
        ASSERT_EQ(run({cmd, "--help"}), kOk);
        EXPECT_TRUE(out_.str().starts_with(std::string("Usage: dova-cli ") + cmd)) << cmd;
        EXPECT_NE(out_.str().find("Exit codes"), std::string::npos);
    }
    ASSERT_EQ(run({"--help"}), kOk);
    for (const char* cmd : {"decrypt", "encrypt", "list", "export", "create"}) {
        EXPECT_NE(out_.str().find(cmd), std::string::npos) << cmd;
    }
    EXPECT_EQ(run({"list", "--", "--help"}), kIoError);  // after "--" it is a file name
}

TEST_F(Cli, CreateRefusesTextsABookCannotCarryAndNeverOverwritesUnasked) {
    const char* refused[] = {
        R"({"entries": [{"title": "a,b", "body": ""}]})",
        R"({"entries": [{"title": "line\nbreak"}]})",
        R"({"entries": [{"title": "t", "body": "x[尾]y"}]})",
        R"({"entries": [{"title": "t", "body": "【分割用文本】"}]})",
        R"({"entries": [{"title": "t", "body": "zero\u0000byte"}]})",
        R"({"entries": [{"body": "no title"}]})",
        R"({"entries": [{"title": 5}]})",
        R"({"entries": [1]})",
        R"({"entries": {}})",
        R"([])",
        R"({"entries": [)",
    };
    for (const char* json : refused) {
        put("in.json", json);
        EXPECT_EQ(run({"create", path("b.dova"), "--from", path("in.json")}), kBadLayout) << json;
        EXPECT_EQ(get("b.dova"), "<missing>") << json;
    }

    put("in.json", R"({"entries": [{"title": "new", "body": "x"}]})");
    put("b.dova", "precious");
    EXPECT_EQ(run({"create", path("b.dova"), "--from", path("in.json")}), kUsage);
    EXPECT_EQ(get("b.dova"), "precious");
    ASSERT_EQ(::symlink(path("b.dova").c_str(), path("link.dova").c_str()), 0);
    EXPECT_EQ(run({"create", path("link.dova"), "--from", path("in.json")}), kUsage);
    EXPECT_EQ(run({"create", path("b.dova"), "--from", path("missing.json")}), kUsage);
    EXPECT_EQ(run({"create", path("new.dova"), "--from", path("missing.json")}), kIoError);
    EXPECT_EQ(get("b.dova"), "precious");
    EXPECT_EQ(run({"create", path("b.dova"), "--from", path("in.json"), "--force"}), kOk);
    ASSERT_EQ(run({"list", path("b.dova")}), kOk);
    EXPECT_EQ(out_.str(), "1\tnew\n");
    EXPECT_EQ(run({"create", path("nodir/b.dova"), "--from", path("in.json")}), kIoError);
}

TEST_F(Cli, EncryptAndDecryptAreInverse) {
    const std::string plain = G("校验密码用文本 any bytes \x81\xFF\r\n");
    put("plain.txt", plain);
    ASSERT_EQ(run({"encrypt", path("plain.txt"), path("b.dova")}), kOk) << err_.str();
    EXPECT_EQ(get("b.dova"), book_file(plain));
    ASSERT_EQ(run({"decrypt", path("b.dova")}), kOk);
    EXPECT_EQ(out_.str(), plain);

    EXPECT_EQ(run({"encrypt", path("plain.txt"), path("b.dova")}), kUsage);  // exists
    put("zero.txt", std::string("a\0b", 3));
    EXPECT_EQ(run({"encrypt", path("zero.txt"), path("b.dova"), "--force"}), kBadLayout);
    EXPECT_EQ(get("b.dova"), book_file(plain));
    put("empty.txt", "");
    EXPECT_EQ(run({"encrypt", path("empty.txt"), path("b.dova"), "--force"}), kOk);
    EXPECT_EQ(get("b.dova"), storage::BOOK_SIGNATURE);
}

TEST_F(Cli, PasswordSources) {
    put("pw-crlf", G("密码") + "\r\n");
    put("pw-two", "pw\n\n");
    put("pw-raw", "\xC3\xDC\xC2\xEB");
    struct Case {
        const char* name;
        PasswordOptions options;
        std::optional<std::string> env;
        bool terminal;
        std::deque<std::string> typed;
        bool confirm;
        bool ok;
        std::string password;
    } cases[] = {
        {"hex wins", {"c3dcC2EB", std::nullopt}, "env", true, {}, false, true, G("密码")},
        {"empty hex", {"", std::nullopt}, "env", false, {}, false, true, ""},
        {"file, one CR LF removed",
         {std::nullopt, path("pw-crlf")},
         "env",
         false,
         {},
         false,
         true,
         G("密码")},
        {"file, only one line break removed",
         {std::nullopt, path("pw-two")},
         {},
         false,
         {},
         false,
         true,
         "pw\n"},
        {"file bytes kept as they are",
         {std::nullopt, path("pw-raw")},
         {},
         false,
         {},
         false,
         true,
         "\xC3\xDC\xC2\xEB"},
        {"missing file", {std::nullopt, path("none")}, {}, false, {}, false, false, ""},
        {"environment in UTF-8", {}, "密码", true, {"typed"}, false, true, G("密码")},
        {"environment set but empty", {}, "", true, {"typed"}, false, true, ""},
        {"typed at a terminal", {}, {}, true, {"密码"}, false, true, G("密码")},
        {"typed twice for a new book", {}, {}, true, {"pw", "pw"}, true, true, "pw"},
        {"typed twice, differently", {}, {}, true, {"pw", "px"}, true, false, ""},
        {"end of input at the prompt", {}, {}, true, {}, false, false, ""},
        {"no terminal: empty password", {}, {}, false, {"unused"}, false, true, ""},
    };
    for (auto& c : cases) {
        PasswordSources sources;
        sources.getenv = [&](const char*) { return c.env; };
        sources.stdin_is_terminal = c.terminal;
        sources.read_secret = [&](std::string_view) -> std::optional<std::string> {
            if (c.typed.empty()) return std::nullopt;
            std::string s = c.typed.front();
            c.typed.pop_front();
            return s;
        };
        PasswordResult r = get_password(c.options, sources, c.confirm);
        EXPECT_EQ(r.ok, c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(r.password, c.password) << c.name;
        } else {
            EXPECT_FALSE(r.error.empty()) << c.name;
        }
    }
}

TEST_F(Cli, CreateAsksForTheNewPasswordTwice) {
    env_.clear();
    terminal_ = true;
    put("in.json", R"({"entries": []})");
    typed_ = {"新密码", "新密码"};
    ASSERT_EQ(run({"create", path("b.dova"), "--from", path("in.json")}), kOk) << err_.str();
    typed_ = {"新密码"};
    EXPECT_EQ(run({"list", path("b.dova")}), kOk) << err_.str();
    EXPECT_EQ(run({"list", path("b.dova"), "--password-hex", text::utf8_to_gbk("新密码")}),
              kUsage);  // not hex
    std::string hex;
    for (unsigned char b : G("新密码")) {
        static constexpr char d[] = "0123456789abcdef";
        hex += d[b >> 4];
        hex += d[b & 15];
    }
    EXPECT_EQ(run({"list", path("b.dova"), "--password-hex=" + hex}), kOk);
}
