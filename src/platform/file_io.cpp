#include "platform/file_io.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "text/codec.h"
#include "text/texts.h"

namespace dova::platform {
namespace {

// Closes a descriptor on every way out of a scope, unless released.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

std::string reason(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
            return std::string(texts::IO_NO_PERMISSION);
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return std::string(texts::IO_NO_SPACE);
        case EROFS:
            return std::string(texts::IO_READ_ONLY);
        case ENOENT:
        case ENOTDIR:
            return std::string(texts::IO_NO_DIRECTORY);
        default:
            return text::utf8_to_gbk(std::strerror(err));
    }
}

std::string directory_of(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file a save should replace: a symbolic link is followed, so the link
// stays and the file it names gets the new content. A dangling link names
// the file to create.
std::string resolve_target(const std::string& path) {
    std::string target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
        char buf[PATH_MAX];
        ssize_t n = ::readlink(target.c_str(), buf, sizeof buf);
        if (n < 0 || static_cast<std::size_t>(n) >= sizeof buf) return target;
        std::string link(buf, static_cast<std::size_t>(n));
        target = (link.starts_with('/') || target.find('/') == std::string::npos)
                     ? link
                     : directory_of(target) + "/" + link;
    }
    return target;  // a loop: the rename below replaces the link itself
}

bool write_all(int fd, std::string_view content, int& err) {
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return false;
        }
        if (n == 0) {
            err = ENOSPC;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::optional<std::string> read_whole_file(const std::string& path) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return std::nullopt;
    struct stat st;
    if (::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;

    std::string out;
    // The size is a hint: the file may be a pipe or change while it is read.
    std::size_t used = 0;
    out.resize(S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1
                                                     : 64 * 1024);
    for (;;) {
        if (used == out.size()) out.resize(out.size() * 2);
        ssize_t n = ::read(fd.get(), out.data() + used, out.size() - used);
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    out.resize(used);
    return out;
}

std::string write_file_atomically(const std::string& path, std::string_view content) {
    if (path.empty()) return reason(ENOENT);
    const std::string target = resolve_target(path);
    const std::string dir = directory_of(target);
    const std::size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    std::string temp = dir + "/." + base + ".XXXXXX";
    Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0) return reason(errno);

    int err = 0;
    auto fail = [&](int e) {
        err = e;
        ::close(fd.release());
        ::unlink(temp.c_str());
        return reason(err);
    };

    // A replaced file keeps its permissions (and owner, where we may set it);
    // a new one keeps mkostemp's owner-only mode: books are private.
    struct stat old;
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        if (::fchmod(fd.get(), old.st_mode & 07777) != 0) return fail(errno);
        if (::geteuid() == 0) (void)!::fchown(fd.get(), old.st_uid, old.st_gid);
    }
    if (!write_all(fd.get(), content, err)) return fail(err);
    if (::fsync(fd.get()) != 0) return fail(errno);
    if (::close(fd.release()) != 0) {
        err = errno;
        ::unlink(temp.c_str());
        return reason(err);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        err = errno;
        ::unlink(temp.c_str());
        return reason(err);
    }
    // Make the rename itself durable; the new content is already in place,
    // so a directory that cannot be synced is not a failed save.
    Fd dirfd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirfd.get() >= 0) (void)::fsync(dirfd.get());
    return {};
}

void delete_file(const std::string& path) {
    (void)::unlink(path.c_str());
}

}  // namespace dova::platform
