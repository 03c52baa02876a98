#include "system_files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace cli {

namespace {

std::filesystem::path SystemPath(const std::string& path) {
    return std::filesystem::u8path(path);
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
    if (a == "-" || b == "-") return false;
    std::error_code error;
    try {
        return std::filesystem::equivalent(SystemPath(a), SystemPath(b), error);
    } catch (const std::exception&) {
        return false;  // a name that is not UTF-8 names no file on Windows
    }
}

bool IsDirectory(const std::string& path) {
    std::error_code error;
    try {
        return std::filesystem::is_directory(SystemPath(path), error);
    } catch (const std::exception&) {
        return false;
    }
}

#if defined(_WIN32)

namespace {

std::string Utf8Of(const wchar_t* text) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? static_cast<size_t>(bytes) : 1, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], bytes, nullptr, nullptr);
    utf8.pop_back();
    return utf8;
}

// File identity: volume and index, as the system gives them for an open handle.
bool IdentityOf(HANDLE handle, BY_HANDLE_FILE_INFORMATION* info) {
    return handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) == FILE_TYPE_DISK &&
           ::GetFileInformationByHandle(handle, info);
}

}  // namespace

std::vector<std::string> Utf8Arguments(int /*argc*/, char** /*argv*/) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide && i < count; ++i) arguments.push_back(Utf8Of(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

void UseBinaryStandardStreams() {
    for (int fd : {0, 1, 2}) ::_setmode(fd, _O_BINARY);
}

int OpenFile(const std::string& path, int flags) {
    try {
        return ::_wopen(SystemPath(path).c_str(), flags | O_BINARY | O_NOINHERIT,
                        _S_IREAD | _S_IWRITE);
    } catch (const std::exception&) {
        errno = EINVAL;
        return -1;
    }
}

bool SyncFile(const std::string& path) {
    const int fd = OpenFile(path, O_RDWR);
    if (fd < 0) return false;
    const bool synced = ::_commit(fd) == 0;  // FlushFileBuffers
    ::_close(fd);
    return synced;
}

void SyncDirectoryOf(const std::string& /*path*/) {}

int RenameFile(const std::string& from, const std::string& to, bool replace) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (::MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(), flags)) return 0;
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return EEXIST;
    if (error == ERROR_ACCESS_DENIED) return EACCES;
    return error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND ? ENOENT : EIO;
}

void CopyPermissions(const std::string& /*like*/, const std::string& /*path*/) {}

bool StandardOutputIs(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION out, in;
    if (path == "-" || !IdentityOf(::GetStdHandle(STD_OUTPUT_HANDLE), &out)) return false;
    HANDLE file = ::CreateFileW(SystemPath(path).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool known = IdentityOf(file, &in);
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    return known && in.dwVolumeSerialNumber == out.dwVolumeSerialNumber &&
           in.nFileIndexHigh == out.nFileIndexHigh && in.nFileIndexLow == out.nFileIndexLow;
}

#else

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void UseBinaryStandardStreams() {}

int OpenFile(const std::string& path, int flags) {
    return ::open(path.c_str(), flags | O_CLOEXEC, 0666);
}

bool SyncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

void SyncDirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    SyncFile(slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash));
}

int RenameFile(const std::string& from, const std::string& to, bool replace) {
    if (replace) return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    // A second name that fails when the target exists, then the temporary one goes.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    ::unlink(from.c_str());
    return 0;
}

void CopyPermissions(const std::string& like, const std::string& path) {
    struct stat info;
    mode_t mode;
    if (::stat(like.c_str(), &info) == 0) {
        mode = info.st_mode & 07777;  // keep the permissions of the file replaced
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;  // those of a newly created file
    }
    ::chmod(path.c_str(), mode);
}

bool StandardOutputIs(const std::string& path) {
    struct stat out {
    }, in{};
    return path != "-" && ::fstat(STDOUT_FILENO, &out) == 0 && S_ISREG(out.st_mode) &&
           ::stat(path.c_str(), &in) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino;
}

#endif

bool ReadLine(std::FILE* in, std::string* line) {
#if defined(_WIN32)
    auto next = [in] { return _getc_nolock(in); };
#else
    auto next = [in] { return getc_unlocked(in); };
#endif
    line->clear();
    int c;
    while ((c = next()) != EOF && c != '\n') line->push_back(static_cast<char>(c));
    return c == '\n' || !line->empty();
}

}  // namespace cli
