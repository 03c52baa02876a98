#include "orvane/file_services.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(_WIN32)
#include <io.h>
#endif

#include <atomic>
#include <cerrno>
#include <string>

#include "vantrel_platform/stringapiset.h"

namespace {

constexpr int kPathUnits = 512;  // including the terminator

// --- Test hook --------------------------------------------------------------------------------

std::atomic<std::int64_t> gOperations{0};
std::atomic<std::int64_t> gFaultAt{0};  // 0: no fault armed
std::atomic<int> gShortWriteBytes{-1};  // -1: the armed fault is a plain failure

enum class Fault { kNone, kFail, kShortWrite };

struct Injected {
    Fault kind = Fault::kNone;
    int bytes = 0;
};

// Counts one operation and says whether the test hook wants it to fail.
Injected CountOperation() {
    std::int64_t number = gOperations.fetch_add(1) + 1;
    if (number != gFaultAt.load()) return {};
    int bytes = gShortWriteBytes.load();
    if (bytes < 0) return {Fault::kFail, 0};
    return {Fault::kShortWrite, bytes};
}

// --- Paths ------------------------------------------------------------------------------------

// The FM_FILESPEC's path in UTF-8; false when it has no terminator within its 512 units or holds an
// unpaired surrogate.
bool PathToUtf8(const FM_FILESPEC& spec, std::string* out) {
    size_t length = 0;
    while (length < kPathUnits && spec.szPath[length] != 0) ++length;
    return length < kPathUnits &&
           vplatform::Utf16ToUtf8(std::u16string(spec.szPath, length), WC_ERR_INVALID_CHARS, out);
}

// --- The system's descriptors -----------------------------------------------------------------

#if defined(_WIN32)
// Windows: the UTF-16 path itself, in binary mode (text mode would translate line ends and
// stop at ^Z), not inherited by child processes; 64-bit offsets and sizes.
int OpenDescriptor(const FM_FILESPEC& spec, const std::string& /*utf8Path*/, int flags) {
    return ::_wopen(reinterpret_cast<const wchar_t*>(spec.szPath), flags | O_BINARY | O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
}
std::int64_t SeekDescriptor(int fd, std::int64_t offset, int whence) {
    return ::_lseeki64(fd, offset, whence);
}
using FileStatus = struct _stati64;
int StatusOf(int fd, FileStatus* info) {
    return ::_fstati64(fd, info);
}
#else
int OpenDescriptor(const FM_FILESPEC& /*spec*/, const std::string& utf8Path, int flags) {
    return ::open(utf8Path.c_str(), flags | O_CLOEXEC, 0666);
}
std::int64_t SeekDescriptor(int fd, std::int64_t offset, int whence) {
    return ::lseek(fd, static_cast<off_t>(offset), whence);
}
using FileStatus = struct stat;
int StatusOf(int fd, FileStatus* info) {
    return ::fstat(fd, info);
}
#endif

// --- Descriptors ------------------------------------------------------------------------------

// Handles are descriptor + 1, so that 0 can mean "no file" while descriptor 0 stays usable.
int ToFd(int handle) {
    return handle - 1;
}

short OpenStatus(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return FM_ERR_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
            return FM_ERR_ACCESS;
        default:
            return FM_ERR_OPEN;
    }
}

short WriteBytes(int fd, const void* buffer, int size) {
    const char* p = static_cast<const char*>(buffer);
    int left = size;
    while (left > 0) {
        ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno == EBADF ? FM_ERR_BAD_HANDLE : FM_ERR_WRITE;
        if (n == 0) return FM_ERR_WRITE;
        p += n;
        left -= static_cast<int>(n);
    }
    return FM_OK;
}

// Writes `buffer` whole, or, when the test hook asks for it, only its first bytes.
short WriteWithHook(int fd, const void* buffer, int size, const Injected& fault) {
    if (fault.kind == Fault::kFail) return FM_ERR_INJECTED;
    if (fault.kind == Fault::kNone) return WriteBytes(fd, buffer, size);
    int part = fault.bytes < size ? fault.bytes : size;
    short status = WriteBytes(fd, buffer, part);
    if (status < 0) return status;
    return FM_ERR_WRITE;
}

bool ValidBuffer(const void* buffer, int size) {
    return size >= 0 && (buffer || size == 0);
}

short SeekFd(int fd, int origin, std::int64_t offset) {
    int whence;
    switch (origin) {
        case FM_SEEK_START:
            whence = SEEK_SET;
            break;
        case FM_SEEK_CURRENT:
            whence = SEEK_CUR;
            break;
        case FM_SEEK_END:
            whence = SEEK_END;
            break;
        default:
            return FM_ERR_BAD_ARGUMENT;
    }
    if (SeekDescriptor(fd, offset, whence) < 0)
        return errno == EBADF ? FM_ERR_BAD_HANDLE : FM_ERR_SEEK;
    return FM_OK;
}

}  // namespace

bool FM_SetPath(FM_FILESPEC* pSpec, const wchar_t* path) {
    if (!pSpec) return false;
    pSpec->szPath[0] = 0;
    if (!path) return false;
    const int bytes =
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, path, -1, nullptr, 0, nullptr, nullptr);
    if (bytes == 0) return false;
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, path, -1, &utf8[0], bytes, nullptr, nullptr);
    return FM_SetPath(pSpec, utf8.c_str());
}

bool FM_SetPath(FM_FILESPEC* pSpec, const char* utf8Path) {
    if (!pSpec) return false;
    pSpec->szPath[0] = 0;
    if (!utf8Path) return false;
    std::u16string units;
    if (!vplatform::Utf8ToUtf16(utf8Path, MB_ERR_INVALID_CHARS, &units) ||
        units.size() > kPathUnits - 1)
        return false;
    std::char_traits<char16_t>::copy(pSpec->szPath, units.data(), units.size());
    pSpec->szPath[units.size()] = 0;
    return true;
}

short FM_Open(const FM_FILESPEC* pSpec, char mode, int* pHandle) {
    Injected fault = CountOperation();
    if (pHandle) *pHandle = 0;
    if (!pSpec || !pHandle) return FM_ERR_BAD_ARGUMENT;
    if (fault.kind != Fault::kNone) return FM_ERR_INJECTED;

    int flags;
    switch (mode) {
        case FM_MODE_READ:
            flags = O_RDONLY;
            break;
        case FM_MODE_CREATE:
            flags = O_WRONLY | O_CREAT | O_TRUNC;
            break;
        case FM_MODE_READWRITE:
            flags = O_RDWR | O_CREAT;
            break;
        default:
            return FM_ERR_BAD_ARGUMENT;
    }
    std::string path;
    if (!PathToUtf8(*pSpec, &path)) return FM_ERR_BAD_PATH;

    int fd;
    do {
        fd = OpenDescriptor(*pSpec, path, flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return OpenStatus(errno);

    // A directory opens for reading on this system; it is not a file to these services.
    FileStatus info;
    if (StatusOf(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return FM_ERR_OPEN;
    }
    *pHandle = fd + 1;
    return FM_OK;
}

short FM_Read(int handle, void* buffer, int size) {
    Injected fault = CountOperation();
    if (handle <= 0) return FM_ERR_BAD_HANDLE;
    if (!ValidBuffer(buffer, size)) return FM_ERR_BAD_ARGUMENT;
    if (fault.kind != Fault::kNone) return FM_ERR_INJECTED;

    char* p = static_cast<char*>(buffer);
    int left = size;
    while (left > 0) {
        ssize_t n = ::read(ToFd(handle), p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno == EBADF ? FM_ERR_BAD_HANDLE : FM_ERR_READ;
        if (n == 0) return FM_ERR_END_OF_FILE;
        p += n;
        left -= static_cast<int>(n);
    }
    return FM_OK;
}

short FM_Write(int handle, const void* buffer, int size) {
    Injected fault = CountOperation();
    if (handle <= 0) return FM_ERR_BAD_HANDLE;
    if (!ValidBuffer(buffer, size)) return FM_ERR_BAD_ARGUMENT;
    return WriteWithHook(ToFd(handle), buffer, size, fault);
}

short FM_Seek(int handle, int origin, std::int64_t offset) {
    Injected fault = CountOperation();
    if (handle <= 0) return FM_ERR_BAD_HANDLE;
    if (fault.kind != Fault::kNone) return FM_ERR_INJECTED;
    return SeekFd(ToFd(handle), origin, offset);
}

short FM_SeekAndWrite(int handle, std::int64_t offset, int origin, const void* buffer, int size) {
    Injected fault = CountOperation();
    if (handle <= 0) return FM_ERR_BAD_HANDLE;
    if (!ValidBuffer(buffer, size)) return FM_ERR_BAD_ARGUMENT;
    if (fault.kind == Fault::kFail) return FM_ERR_INJECTED;
    short status = SeekFd(ToFd(handle), origin, offset);
    if (status < 0) return status;
    return WriteWithHook(ToFd(handle), buffer, size, fault);
}

short FM_GetSize(int handle, std::int64_t* pSize) {
    Injected fault = CountOperation();
    if (pSize) *pSize = 0;
    if (handle <= 0) return FM_ERR_BAD_HANDLE;
    if (!pSize) return FM_ERR_BAD_ARGUMENT;
    if (fault.kind != Fault::kNone) return FM_ERR_INJECTED;
    FileStatus info;
    if (StatusOf(ToFd(handle), &info) != 0) return errno == EBADF ? FM_ERR_BAD_HANDLE : FM_ERR_READ;
    *pSize = static_cast<std::int64_t>(info.st_size);
    return FM_OK;
}

short FM_Close(int& handle) {
    Injected fault = CountOperation();
    if (handle <= 0) return FM_ERR_BAD_HANDLE;
    int fd = ToFd(handle);
    handle = 0;
    // close() releases the descriptor even when it reports an error; never retry it.
    int result = ::close(fd);
    if (fault.kind != Fault::kNone) return FM_ERR_INJECTED;
    return result == 0 ? FM_OK : FM_ERR_CLOSE;
}

void FM_TestReset() {
    gFaultAt.store(0);
    gShortWriteBytes.store(-1);
    gOperations.store(0);
}

std::int64_t FM_TestOperationCount() {
    return gOperations.load();
}

void FM_TestFailOperation(std::int64_t k) {
    gShortWriteBytes.store(-1);
    gFaultAt.store(k);
}

void FM_TestShortWrite(std::int64_t k, int bytes) {
    gShortWriteBytes.store(bytes < 0 ? 0 : bytes);
    gFaultAt.store(k);
}
