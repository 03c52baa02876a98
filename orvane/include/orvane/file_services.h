// File access on an FM_FILESPEC: open, read, write, seek, seek-and-write and close over the
// operating system's files, plus a test hook that counts the operations and makes one fail.
#pragma once

#include <cstddef>
#include <cstdint>

#include "orvane/export.h"

/// FM_FILESPEC names a file: a null-terminated UTF-16 path of at most 511 units (512 with the
/// terminator). Opening converts it to UTF-8 for the file system; a path without a terminator
/// in its 512 units, or with an unpaired surrogate, does not open (FM_ERR_BAD_PATH).
struct FM_FILESPEC {
    char16_t szPath[512];
};
static_assert(sizeof(FM_FILESPEC) == 1024, "FM_FILESPEC is 512 UTF-16 units");
static_assert(offsetof(FM_FILESPEC, szPath) == 0, "the path opens FM_FILESPEC");

/// Statuses. Success is FM_OK (0; no operation returns a positive status). Every failure is one
/// of the negative values below, all distinct from the result codes of the libraries that call
/// these services (-3 to -10), so a caller can tell a failed file operation from its own codes.
enum : short {
    FM_OK = 0,
    FM_ERR_NOT_FOUND = -100,     ///< open: the file (or a directory of its path) does not exist
    FM_ERR_ACCESS = -101,        ///< open: permission denied
    FM_ERR_OPEN = -102,          ///< open: any other refusal of the operating system
    FM_ERR_BAD_PATH = -103,      ///< the path is unterminated or not valid UTF-16
    FM_ERR_BAD_HANDLE = -104,    ///< the handle is 0 or not open
    FM_ERR_BAD_ARGUMENT = -105,  ///< null spec or buffer, negative size, unknown mode or origin
    FM_ERR_END_OF_FILE = -106,   ///< read: the file ended before `size` bytes were read
    FM_ERR_READ = -107,          ///< read: input/output error
    FM_ERR_WRITE = -108,         ///< write: not every byte was written (disk full, I/O error)
    FM_ERR_SEEK = -109,          ///< seek: the position would be negative or is not seekable
    FM_ERR_CLOSE = -110,         ///< close: the operating system reported an error
    FM_ERR_INJECTED = -111,      ///< the test hook failed this operation
};

/// Open modes.
enum : char {
    FM_MODE_READ = 0,       ///< an existing file, for reading
    FM_MODE_CREATE = 1,     ///< create or empty a file, for writing
    FM_MODE_READWRITE = 2,  ///< reading and writing; a missing file is created empty
};

/// Seek origins.
enum : int {
    FM_SEEK_START = 0,    ///< offset from the start of the file
    FM_SEEK_CURRENT = 1,  ///< offset from the current position
    FM_SEEK_END = 2,      ///< offset from the end of the file
};

/// Fills `pSpec->szPath` from a wide (UTF-32) path, encoding UTF-16 with surrogate pairs, or
/// from a UTF-8 path. False, and an empty path, when the text does not fit in 511 units or is
/// not valid Unicode.
ORVANE_API bool FM_SetPath(FM_FILESPEC* pSpec, const wchar_t* path);
ORVANE_API bool FM_SetPath(FM_FILESPEC* pSpec, const char* utf8Path);

/// Opens the file of `pSpec` in `mode` (FM_MODE_*), positioned at offset 0. On success writes a
/// nonzero handle to `*pHandle`; on failure leaves 0 there.
ORVANE_API short FM_Open(const FM_FILESPEC* pSpec, char mode, int* pHandle);
/// Reads exactly `size` bytes at the current position into `buffer`. Fewer bytes left in the
/// file is a failure (FM_ERR_END_OF_FILE); the position then stands after what was read.
ORVANE_API short FM_Read(int handle, void* buffer, int size);
/// Writes all `size` bytes of `buffer` at the current position, which advances.
ORVANE_API short FM_Write(int handle, const void* buffer, int size);
/// Moves the position by `offset` bytes from `origin` (FM_SEEK_*). Beyond the end is allowed.
ORVANE_API short FM_Seek(int handle, int origin, std::int64_t offset);
/// FM_Seek, then FM_Write; one operation for the test hook.
ORVANE_API short FM_SeekAndWrite(int handle, std::int64_t offset, int origin, const void* buffer,
                                 int size);
/// Writes the file's size in bytes to `*pSize` (0 on failure).
ORVANE_API short FM_GetSize(int handle, std::int64_t* pSize);
/// Closes the file and sets `handle` to 0, even when the operating system reports an error.
ORVANE_API short FM_Close(int& handle);

// ---------------------------------------------------------------------------------------------
// Test hook. Every call of FM_Open, FM_Read, FM_Write, FM_Seek, FM_SeekAndWrite, FM_GetSize and
// FM_Close counts as one operation, numbered from 1 since the last FM_TestReset, process-wide.
// A fault-injection test runs its scenario once to count the operations N, then for k = 1..N
// resets, arms operation k and runs the scenario again.

/// Counter to 0, no fault armed.
ORVANE_API void FM_TestReset();
/// Operations counted since the last reset.
ORVANE_API std::int64_t FM_TestOperationCount();
/// Operation number `k` (counted since the last reset) fails with FM_ERR_INJECTED and has no
/// effect, except that a failing FM_Close still closes the file (no descriptor leaks). Arming
/// replaces any fault armed before.
ORVANE_API void FM_TestFailOperation(std::int64_t k);
/// Operation number `k`, when it writes (FM_Write, FM_SeekAndWrite), writes only the first
/// min(bytes, size) bytes and fails with FM_ERR_WRITE, as a full disk would; any other
/// operation numbered `k` fails as FM_TestFailOperation makes it.
ORVANE_API void FM_TestShortWrite(std::int64_t k, int bytes);

/// Scope guard for tests: resets the hook on entry and on exit.
class FM_TestFaultScope {
  public:
    FM_TestFaultScope() { FM_TestReset(); }
    ~FM_TestFaultScope() { FM_TestReset(); }
    FM_TestFaultScope(const FM_TestFaultScope&) = delete;
    FM_TestFaultScope& operator=(const FM_TestFaultScope&) = delete;
};
