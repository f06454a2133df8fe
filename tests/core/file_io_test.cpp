#include "platform/file_io.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "support/unprivileged.h"
#include "text/texts.h"

using namespace dova;
using dova::platform::read_whole_file;
using dova::platform::write_file_atomically;

namespace {

class FileIo : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/dova-file-io-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
        ::chmod(dir_.c_str(), 0700);
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    static void put(const std::string& p, const std::string& content) {
        std::ofstream(p, std::ios::binary) << content;
    }

    std::set<std::string> names() const {
        std::set<std::string> out;
        DIR* d = ::opendir(dir_.c_str());
        if (d == nullptr) return out;
        while (dirent* e = ::readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..") out.insert(n);
        }
        ::closedir(d);
        return out;
    }

    // A small file system of our own, so a full disk or a read-only one can
    // be had for real; false when this system does not let us mount.
    bool mount_tmpfs(const char* size) {
        std::string opts = std::string("size=") + size;
        mounted_ = ::mount("tmpfs", dir_.c_str(), "tmpfs", 0, opts.c_str()) == 0;
        return mounted_;
    }

    std::string dir_;
    bool mounted_ = false;
};

mode_t mode_of(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace

TEST_F(FileIo, ReadsWholeFilesAndNothingElse) {
    const std::string content("a\0b\xFF\r\n", 6);
    put(path("f"), content);
    put(path("empty"), "");
    EXPECT_EQ(read_whole_file(path("f")), content);
    EXPECT_EQ(read_whole_file(path("empty")), std::string());
    EXPECT_EQ(read_whole_file(path("missing")), std::nullopt);
    EXPECT_EQ(read_whole_file(dir_), std::nullopt);
    EXPECT_EQ(read_whole_file(""), std::nullopt);
}

TEST_F(FileIo, WritesNewFilesPrivatelyAndReplacesOldOnesKeepingTheirMode) {
    const std::string big(3 << 20, 'x');
    EXPECT_EQ(write_file_atomically(path("new"), big), "");
    EXPECT_EQ(read_whole_file(path("new")), big);
    EXPECT_EQ(mode_of(path("new")), 0600u);

    put(path("old"), "old content");
    ASSERT_EQ(::chmod(path("old").c_str(), 0640), 0);
    struct stat before;
    ASSERT_EQ(::stat(path("old").c_str(), &before), 0);
    EXPECT_EQ(write_file_atomically(path("old"), "new"), "");
    EXPECT_EQ(read_whole_file(path("old")), "new");
    EXPECT_EQ(mode_of(path("old")), 0640u);
    struct stat after;
    ASSERT_EQ(::stat(path("old").c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino) << "replaced by rename, not rewritten in place";
    EXPECT_EQ(write_file_atomically(path("old"), ""), "");
    EXPECT_EQ(read_whole_file(path("old")), "");

    EXPECT_EQ(names(), (std::set<std::string>{"new", "old"})) << "no temporary file is left";
}

TEST_F(FileIo, SymbolicLinksStayAndTheFileTheyNameIsReplaced) {
    ASSERT_EQ(::mkdir(path("real").c_str(), 0700), 0);
    put(path("real/book"), "old");
    ASSERT_EQ(::symlink("real/book", path("link").c_str()), 0);  // relative
    ASSERT_EQ(::symlink(path("real/later").c_str(), path("dangling").c_str()), 0);

    EXPECT_EQ(write_file_atomically(path("link"), "new"), "");
    struct stat st;
    ASSERT_EQ(::lstat(path("link").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(read_whole_file(path("real/book")), "new");

    EXPECT_EQ(write_file_atomically(path("dangling"), "made"), "");
    EXPECT_EQ(read_whole_file(path("real/later")), "made");
}

TEST_F(FileIo, FailedWritesLeaveTheOldFileAndNoTemporary) {
    put(path("book"), "old");
    put(path("plain"), "not a directory");
    struct Case {
        std::string target;
        std::string_view reason;
    } cases[] = {
        {path("missing/book"), texts::IO_NO_DIRECTORY},
        {path("plain/book"), texts::IO_NO_DIRECTORY},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(write_file_atomically(c.target, "new"), c.reason) << c.target;
    }
    // Replacing a directory fails with the system's own words.
    ASSERT_EQ(::mkdir(path("sub").c_str(), 0700), 0);
    EXPECT_NE(write_file_atomically(path("sub"), "x"), "");
    EXPECT_EQ(names(), (std::set<std::string>{"book", "plain", "sub"}));
}

TEST_F(FileIo, DirectoryWithoutWritePermission) {
    put(path("book"), "old");
    // Readable and searchable by anyone, writable by no one but root.
    ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
    const auto outcome = dova::testing::run_unprivileged(
        [&] { return write_file_atomically(path("book"), "new") == texts::IO_NO_PERMISSION; });
    if (outcome == dova::testing::Unprivileged::impossible) GTEST_SKIP() << "cannot drop root";
    EXPECT_EQ(outcome, dova::testing::Unprivileged::passed);
    EXPECT_EQ(read_whole_file(path("book")), "old");
    EXPECT_EQ(names(), std::set<std::string>{"book"});
}

TEST_F(FileIo, FullAndReadOnlyFileSystems) {
    if (!mount_tmpfs("64k")) GTEST_SKIP() << "cannot mount a small file system here";
    put(path("book"), "old");

    EXPECT_EQ(write_file_atomically(path("book"), std::string(1 << 20, 'x')), texts::IO_NO_SPACE);
    EXPECT_EQ(read_whole_file(path("book")), "old");
    EXPECT_EQ(names(), std::set<std::string>{"book"});

    ASSERT_EQ(::mount("tmpfs", dir_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"), 0);
    EXPECT_EQ(write_file_atomically(path("book"), "new"), texts::IO_READ_ONLY);
    EXPECT_EQ(read_whole_file(path("book")), "old");
}
