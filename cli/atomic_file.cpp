#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "cli.h"

namespace cli {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
    throw Failure(path + ": " + what);
}

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Forces what was written to `path` (a file or a directory) onto the disk.
bool Sync(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

FileReplacement::FileReplacement(const std::string& target) : target_(target) {
    std::string name = target + ".tmp.XXXXXX";
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    int fd = mkstemp(buffer.data());
    if (fd < 0)
        Fail(target, std::string("cannot create a file next to it: ") + std::strerror(errno));
    path_ = buffer.data();
    struct stat info;
    mode_t mode;
    if (stat(target.c_str(), &info) == 0) {
        mode = info.st_mode & 07777;  // keep the permissions of the file replaced
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;  // those of a newly created file
    }
    fchmod(fd, mode);
    close(fd);
}

FileReplacement::~FileReplacement() {
    if (!path_.empty()) unlink(path_.c_str());
}

void FileReplacement::CopyFrom(const std::string& source) {
    File in(std::fopen(source.c_str(), "rb"), std::fclose);
    File out(std::fopen(path_.c_str(), "wb"), std::fclose);
    if (!in || !out) Fail(target_, std::string("cannot copy: ") + std::strerror(errno));
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0)
        if (std::fwrite(buffer, 1, n, out.get()) != n) Fail(target_, "cannot copy: write error");
    if (std::ferror(in.get()) || std::fflush(out.get()) != 0)
        Fail(target_, "cannot copy: read or write error");
}

void FileReplacement::Commit(bool mustBeNew) {
    // The content reaches the disk before the name does, so that a crash leaves either the old
    // file or the new one.
    if (!Sync(path_)) Fail(target_, std::string("cannot write: ") + std::strerror(errno));
    if (mustBeNew) {
        if (link(path_.c_str(), target_.c_str()) != 0)
            Fail(target_, errno == EEXIST ? "already exists (use --force to replace it)"
                                          : std::string("cannot create: ") + std::strerror(errno));
    } else if (rename(path_.c_str(), target_.c_str()) != 0) {
        Fail(target_, std::string("cannot replace: ") + std::strerror(errno));
    }
    if (mustBeNew) unlink(path_.c_str());
    path_.clear();
    Sync(DirectoryOf(target_));  // the new name; a failure here loses nothing already there
}

std::string ResolvedPath(const std::string& path) {
    char buffer[PATH_MAX];
    return realpath(path.c_str(), buffer) ? std::string(buffer) : path;
}

}  // namespace cli
