/// @file
/// Text: file names and paths, dither method names, display strings and progress messages.
///
/// Text is wide (wchar_t) and holds UTF-16 code units' worth of characters, one per wchar_t.
/// Where a caller passes a buffer and a capacity, the capacity counts wchar_t units including
/// the terminator.
#pragma once

#include "orvane/astring.h"
#include "vantrel/export.h"
#include "vantrel_platform/cstring.h"

// ---------------------------------------------------------------------------------------------
// File names and paths
//
// Reserved characters, refused wherever a name is checked or repaired (never removed):
// " * / : < > ? \ |. Nothing else is refused: control characters, dots and non-ASCII pass.
// Trimming removes leading and trailing characters that the C library's iswspace accepts in
// the process's current C locale (only the ASCII blanks in the "C" locale).
// ICC profile names: at most 31 units after trimming when they end in ".icc" or ".icm" (any
// case), at most 27 otherwise, so that appending ".icm" keeps them within 31.

/// 1 when `strName` holds none of the reserved characters (the empty name included), else 0.
/// No trimming, no length limit. A null pointer is taken as the empty name.
VANTREL_API int IsValidFilename(const wchar_t* strName);
/// 1 when `strName` holds no reserved character and, trimmed, meets the ICC length limits;
/// else 0. A null pointer is taken as the empty name.
VANTREL_API int IsValidICCFilename(const wchar_t* strName);
/// Repairs an ICC profile name: trims it and, when it lacks ".icc"/".icm" and `bNoAppend` is
/// 0, appends ".icm". Returns 1 with the repaired name in `strName`, or 0 with `strName`
/// unchanged (a reserved character, a name too long for the limits, or no extension while
/// `bNoAppend` is nonzero). An existing extension keeps its case.
VANTREL_API int MakeValidICCFilename(CString& strName, int bNoAppend);
/// Trims `strName`. Returns 1 with the trimmed name stored, or 0 with `strName` unchanged when
/// it holds a reserved character or trims to nothing.
VANTREL_API int MakeValidFilename(CString& strName);
/// The extension of filter `nIndex` (from 0) of a file-dialog filter list such as
/// "ICC Profiles (*.icc)|*.icc|All Files (*.*)|*.*||" with `chDelimiter` '|': the pattern
/// after the (2 nIndex + 1)-th delimiter, up to the next one, with every '*' and then every
/// '.' removed ("icc" for index 0, "targz" for "*.tar.gz"). Empty when `nIndex` is negative
/// or the list has no such pattern.
VANTREL_API CString GetFileExt(CString strFilter, int nIndex, wchar_t chDelimiter);
/// True when something exists at the POSIX path `pszDir` (a plain file counts as well as a
/// directory; a dangling symbolic link does not). Otherwise, when `bCreate` is true, creates
/// that directory (mode 0777 under the umask; its last component only, missing parents are
/// not created) and returns whether that succeeded; else false. A null path gives false.
VANTREL_API bool DoesDirectoryExist(const char* pszDir, bool bCreate);
/// The directory part of a path: everything up to and including the last backslash (the only
/// separator; '/' is not one), with each pair of consecutive backslashes then collapsed to
/// one in a single left-to-right pass ("\\server\share\f" gives "\server\share\"). Empty
/// when the path has no backslash.
VANTREL_API AString GetDirectory(const AString& path);
VANTREL_API CString GetDirectory(const CString& path);
/// The file-name part of a path: everything after the last backslash (empty when the path
/// ends with one), or the whole path when it has none.
VANTREL_API AString GetFilename(const AString& path);
VANTREL_API CString GetFilename(const CString& path);
