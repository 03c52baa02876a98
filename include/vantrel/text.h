/// @file
/// Text: file names and paths, dither method names, display strings and progress messages.
///
/// Text is wide: wchar_t, one character per unit. Where a caller passes a buffer and its
/// capacity, the capacity counts wchar_t units, the terminator included.
#pragma once

#include <cstddef>
#include <cstdint>

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
/// True when something exists at the path `pszDir` (a plain file counts as well as a
/// directory; a dangling symbolic link does not). Otherwise, when `bCreate` is true, creates
/// that directory (mode 0777 under the umask; its last component only, missing parents are
/// not created) and returns whether that succeeded; else false. A null path gives false. The
/// path is the system's bytes on POSIX; on Windows it is UTF-8 (false when it is not).
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

// ---------------------------------------------------------------------------------------------
// Dither method names
//
// A dither id names a halftoning method. Its local display name and its English key come
// from a DITHERINFOARRAY that the caller fills (or from the default array described below);
// its English display name comes from a table built into the library:
//   0 "KF Diffusion", 1 "Error Diffusion", 2 "QC Diffusion", 3 "Random Diffusion",
//   4 "FS Diffusion", 5 "LX Diffusion", 6 "Angled Screen", 7 "Vexaline".
//
// The default array is built afresh on each call that needs it, from the list under
// VANTREL_IDS_DITHER_NAMES as the caller's current module state resolves it, so a list that
// the host registers (translated, with any delimiter) wins over the library's. The last
// character of the list is its delimiter; the name at position n is the local name of id n.
// Only the list's first 255 units, its first 8 names and each name's first 127 units are
// used. The array holds six entries, in this order:
//   id 0 "KF_Diffusion", 1 "Error_Diffusion", 3 "Random_Diffusion", 7 "FM_Diffusion",
//   5 "LX_Diffusion", 6 "Angled_Screen"
// (ids 2 and 4 have no entry; id 7's key is "FM_Diffusion").
//
// Every lookup takes an output buffer `pszOut` of `nOutChars` units, terminator included,
// and cuts the text to fit without notice. A capacity of 0 or less (or a null buffer) is a
// request to write nothing. Characters that the char16_t fields hold as surrogate pairs come
// out as one wchar_t each.

/// One dither method of a DITHERINFOARRAY (1028 bytes).
struct DITHERINFO {
    std::int32_t nDitherID;
    char16_t szLocalName[256];     ///< localised display name, UTF-16, zero-terminated
    char16_t szDitherString[256];  ///< English key ("FM_Diffusion"), UTF-16, zero-terminated
};

/// The dither-name table that hosts pass in (32912 bytes). The header words are not read by
/// the library; the default array sets them to 4, 100 and 32912.
struct DITHERINFOARRAY {
    std::int32_t nHeader0;
    std::int32_t nHeader1;
    std::int32_t nTotalSize;
    std::int32_t nCount;  ///< entries 0 to nCount - 1 are in use (0 or less: none; at most 32)
    DITHERINFO aEntries[32];
};

static_assert(sizeof(DITHERINFO) == 1028, "DITHERINFO is 1028 bytes");
static_assert(offsetof(DITHERINFO, szLocalName) == 4, "DITHERINFO layout");
static_assert(offsetof(DITHERINFO, szDitherString) == 516, "DITHERINFO layout");
static_assert(sizeof(DITHERINFOARRAY) == 32912, "DITHERINFOARRAY is 32912 bytes");
static_assert(offsetof(DITHERINFOARRAY, nCount) == 12, "DITHERINFOARRAY layout");
static_assert(offsetof(DITHERINFOARRAY, aEntries) == 16, "DITHERINFOARRAY layout");

/// The local name of the first entry (lowest index) of `pArray` whose id is `nDitherID`, or
/// the empty text when none has it. A null `pArray` means the default array. The whole
/// buffer is cleared to zeros first.
VANTREL_API void GetLocalDitherStrByDitherID(const DITHERINFOARRAY* pArray, int nDitherID,
                                             wchar_t* pszOut, int nOutChars);
/// The English display name of ids 0 to 7, from the built-in table whatever `pArray` holds;
/// the buffer is not cleared, the name is copied with its terminator when it fits and
/// pszOut[nOutChars - 1] is set to 0. Other ids give GetLocalDitherStrByDitherID's result
/// for the same arguments.
VANTREL_API void GetEnglishDitherStrByDitherID(const DITHERINFOARRAY* pArray, int nDitherID,
                                               wchar_t* pszOut, int nOutChars);
/// The English key of the first entry of `pArray` whose id is `nDitherID`, or the empty text.
/// The whole buffer is cleared first. A null `pArray` gives the empty text (it does not stand
/// for the default array here).
VANTREL_API void GetDitherString(const DITHERINFOARRAY* pArray, int nDitherID, wchar_t* pszOut,
                                 std::int32_t nOutChars);

// ---------------------------------------------------------------------------------------------
// Display strings and progress messages

/// A print resolution as text: "720" when both numbers are equal (or `fY` is 0), else
/// "720x360". Each number gets as many decimals as it needs, at most 5: 0 when it is whole, 1
/// when ten times it is whole, and so on, multiplying by 10 in single precision; a number
/// outside the 32-bit integer range (2147483648 and up) or NaN is never whole and gets 5
/// ("0.12346" for 0.123456). Printed by the C runtime under its current numeric locale. The
/// text is cut to 31 units (only numbers near the float maximum reach that). `strOut` is
/// replaced.
VANTREL_API void GetResolutionString(float fX, float fY, CString& strOut);
/// The same text copied as wcsncpy does: at most `nOutChars` units; a shorter text is followed
/// by zeros up to `nOutChars` units, a text of `nOutChars` units or more gets no terminator.
/// A capacity of 0 or a null buffer writes nothing.
VANTREL_API void GetResolutionString(float fX, float fY, wchar_t* pszOut, std::uint32_t nOutChars);
/// The current local date and time as "<date> <time>": the user's short date, one blank, the
/// time of day without seconds, both in the formats of the locale that the environment names
/// (LC_ALL, then LC_TIME, then LANG; "C" when none names an installed locale), as the C
/// library's locale data gives them: "03/05/2024 03:07 PM" for en_US, "05.03.2024 15:07" for
/// de_DE. `pszOut` must hold 128 units; the text is cut to 127 units and terminated. A null
/// `pszOut` is left alone.
VANTREL_API void GetCurrentTimeStr(wchar_t* pszOut);
/// The status text of a profile-building step, from the string table as the caller's module
/// state resolves it (English: 0 "Building ICC perceptual table...", 1 relative colorimetric,
/// 2 saturation, 10 "Calculating gamut...", 16 to 18 the Hifi-ink tables, 20 gamut table,
/// 30 "Smoothing look-up tables...", 40 forward look-up table, 51 to 53 preview0Tag to
/// preview2Tag). Every other code gives "Building look-up tables...". `strOut` is replaced.
VANTREL_API void GetProgressMessageText(short nCode, CString& strOut);
