// Without the cipher (its provider missing) nothing may be written: a book
// replaced by the signature alone would lose every entry. These cases only
// run in the process that ctest starts with the provider path pointing
// nowhere; elsewhere the cipher is there and they are skipped.
#include <gtest/gtest.h>

#include "model/entry_store.h"
#include "storage/book_io.h"
#include "storage/cipher.h"
#include "storage/password_book.h"
#include "support/book_files.h"
#include "support/scripted_window.h"
#include "text/texts.h"

namespace dova {
namespace {

using testing::ScriptedWindow;
using testing::book_files::read_bytes;
using testing::book_files::TempFolder;
using testing::book_files::write_bytes;

class NoCipher : public ::testing::Test {
  protected:
    void SetUp() override {
        if (storage::cipher_available()) GTEST_SKIP() << "the cipher is available here";
    }
};

TEST_F(NoCipher, SaveWritesNothingAndSaysSo) {
    TempFolder dir;
    const std::string path = dir.file("a.dova");
    write_bytes(path, "old book");
    BookState s;
    ScriptedWindow w(&s);
    model::append_entry(s, "t");
    s.path_list = {path};

    EXPECT_FALSE(storage::save_book(s, w));
    EXPECT_EQ(read_bytes(path), "old book");
    ASSERT_FALSE(w.messages.empty());
    EXPECT_EQ(w.messages.back().text, texts::MSG_NO_CIPHER);
}

TEST_F(NoCipher, ExportWritesNoPasswordBook) {
    TempFolder dir;
    const std::string path = dir.file("key.png");
    BookState s;
    s.book_password = "secret";
    ScriptedWindow w(&s);
    w.dialog_answers.push_back(path);

    storage::export_password_book(s, w);
    EXPECT_FALSE(read_bytes(path).has_value());
    ASSERT_FALSE(w.messages.empty());
    EXPECT_EQ(w.messages.back().text, texts::MSG_NO_CIPHER);
}

}  // namespace
}  // namespace dova
