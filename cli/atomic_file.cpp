#include "atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>

#include "cli.h"
#include "system_files.h"

namespace cli {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
    throw Failure(path + ": " + what);
}

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

std::FILE* OpenStream(const std::string& path, int flags, const char* mode) {
    const int fd = OpenFile(path, flags);
    if (fd < 0) return nullptr;
    std::FILE* stream = ::fdopen(fd, mode);
    if (!stream) ::close(fd);
    return stream;
}

}  // namespace

FileReplacement::FileReplacement(const std::string& target) : target_(target) {
    // A new name beside the target, created here and by no one else.
    std::random_device seed;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const std::string name = target + ".tmp." + std::to_string(seed() % 1000000000u);
        const int fd = OpenFile(name, O_WRONLY | O_CREAT | O_EXCL);
        if (fd >= 0) {
            ::close(fd);
            path_ = name;
        } else if (errno != EEXIST) {
            break;
        }
    }
    if (path_.empty())
        Fail(target, std::string("cannot create a file next to it: ") + std::strerror(errno));
    CopyPermissions(target, path_);
}

FileReplacement::~FileReplacement() {
    std::error_code error;
    if (!path_.empty()) std::filesystem::remove(std::filesystem::u8path(path_), error);
}

void FileReplacement::CopyFrom(const std::string& source) {
    File in(OpenStream(source, O_RDONLY, "rb"), std::fclose);
    File out(OpenStream(path_, O_WRONLY | O_TRUNC, "wb"), std::fclose);
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
    if (!SyncFile(path_)) Fail(target_, std::string("cannot write: ") + std::strerror(errno));
    const int error = RenameFile(path_, target_, !mustBeNew);
    if (error != 0) {
        if (mustBeNew)
            Fail(target_, error == EEXIST ? "already exists (use --force to replace it)"
                                          : std::string("cannot create: ") + std::strerror(error));
        Fail(target_, std::string("cannot replace: ") + std::strerror(error));
    }
    path_.clear();
    SyncDirectoryOf(target_);  // the new name; a failure here loses nothing already there
}

std::string ResolvedPath(const std::string& path) {
    std::error_code error;
    try {
        const std::filesystem::path resolved =
            std::filesystem::canonical(std::filesystem::u8path(path), error);
        return error ? path : resolved.u8string();
    } catch (const std::exception&) {
        return path;
    }
}

}  // namespace cli
