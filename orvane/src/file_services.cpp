#include "orvane/file_services.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

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

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Appends the UTF-16 units of code point `c` to `spec`; false when it is not a scalar value
// or does not fit before the terminator.
bool PutUtf16(char32_t c, FM_FILESPEC* spec, int* used) {
    if (c > 0x10FFFF || IsSurrogate(c)) return false;
    int need = c >= 0x10000 ? 2 : 1;
    if (*used + need > kPathUnits - 1) return false;
    if (need == 1) {
        spec->szPath[(*used)++] = static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        spec->szPath[(*used)++] = static_cast<char16_t>(0xD800 + (c >> 10));
        spec->szPath[(*used)++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
    return true;
}

void PutUtf8(char32_t c, std::string* out) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// The FM_FILESPEC's path in UTF-8; false when it has no terminator within its 512 units or holds an
// unpaired surrogate.
bool PathToUtf8(const FM_FILESPEC& spec, std::string* out) {
    for (int i = 0; i < kPathUnits; ++i) {
        char32_t unit = spec.szPath[i];
        if (unit == 0) return true;
        if (unit >= 0xDC00 && unit <= 0xDFFF) return false;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            char32_t low = i + 1 < kPathUnits ? spec.szPath[i + 1] : 0;
            if (low < 0xDC00 || low > 0xDFFF) return false;
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        }
        PutUtf8(unit, out);
    }
    return false;
}

// Decodes one UTF-8 sequence starting at `*p`, rejecting overlong forms, surrogates and values
// above U+10FFFF; advances `*p` past it.
bool NextUtf8(const unsigned char** p, char32_t* out) {
    const unsigned char* s = *p;
    int extra;
    char32_t c;
    char32_t minimum;
    if (s[0] < 0x80) {
        extra = 0, c = s[0], minimum = 0;
    } else if ((s[0] & 0xE0) == 0xC0) {
        extra = 1, c = s[0] & 0x1F, minimum = 0x80;
    } else if ((s[0] & 0xF0) == 0xE0) {
        extra = 2, c = s[0] & 0x0F, minimum = 0x800;
    } else if ((s[0] & 0xF8) == 0xF0) {
        extra = 3, c = s[0] & 0x07, minimum = 0x10000;
    } else {
        return false;
    }
    for (int i = 1; i <= extra; ++i) {
        if ((s[i] & 0xC0) != 0x80) return false;  // also stops at the terminator
        c = (c << 6) | (s[i] & 0x3F);
    }
    if (c < minimum) return false;
    *out = c;
    *p = s + 1 + extra;
    return true;
}

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
    if (::lseek(fd, static_cast<off_t>(offset), whence) < 0)
        return errno == EBADF ? FM_ERR_BAD_HANDLE : FM_ERR_SEEK;
    return FM_OK;
}

}  // namespace

bool FM_SetPath(FM_FILESPEC* pSpec, const wchar_t* path) {
    if (!pSpec) return false;
    pSpec->szPath[0] = 0;
    if (!path) return false;
    int used = 0;
    for (const wchar_t* p = path; *p; ++p) {
        if (!PutUtf16(static_cast<char32_t>(*p), pSpec, &used)) {
            pSpec->szPath[0] = 0;
            return false;
        }
    }
    pSpec->szPath[used] = 0;
    return true;
}

bool FM_SetPath(FM_FILESPEC* pSpec, const char* utf8Path) {
    if (!pSpec) return false;
    pSpec->szPath[0] = 0;
    if (!utf8Path) return false;
    int used = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8Path);
    while (*p) {
        char32_t c;
        if (!NextUtf8(&p, &c) || !PutUtf16(c, pSpec, &used)) {
            pSpec->szPath[0] = 0;
            return false;
        }
    }
    pSpec->szPath[used] = 0;
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
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return OpenStatus(errno);

    // A directory opens for reading on this system; it is not a file to these services.
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
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
    struct stat info;
    if (::fstat(ToFd(handle), &info) != 0) return errno == EBADF ? FM_ERR_BAD_HANDLE : FM_ERR_READ;
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
