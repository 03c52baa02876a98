/// @file
/// Settings: the preference file store, the records kept in it, meter settings, wizard states
/// and the dialog palette.
///
/// A preference file is a little-endian 32-bit record count followed by that many records,
/// each an 8-byte header (32-bit signature, 32-bit length = 8 + data bytes) and its data. The
/// store finds a record by walking the headers from the start; only the first record with a
/// signature is ever read or written. Every call opens the file, works and closes it again;
/// concurrent writers of one file are not coordinated.
#pragma once

#include <cstdint>

#include "orvane/file_services.h"
#include "vantrel/export.h"
#include "vantrel/preference_records.h"
#include "vantrel_platform/cstring.h"
#include "vantrel_platform/wintypes.h"

// ---------------------------------------------------------------------------------------------
// Preference file store

/// Result codes of the store besides the file services' own negative statuses (FM_ERR_*, all
/// below -10), which are passed through unchanged. Zero or positive is success.
enum : short {
    PF_ERR_NOT_FOUND = -4,         ///< the file holds no record with the signature
    PF_ERR_NO_MEMORY = -5,         ///< the record's buffer could not be allocated
    PF_ERR_DAMAGED = -8,           ///< a length field or the count contradicts the file
    PF_ERR_SIZE_MISMATCH = -9,     ///< a rewrite whose size differs from the stored record's
    PF_ERR_INVALID_ARGUMENT = -10  ///< a null pointer, a negative size or one too large
};

/// Reads the data of the first record with signature `sig` into a new buffer: `*ppData` gets
/// the buffer (allocated with new[], released by the caller with delete[]; non-null even for a
/// record of no data bytes) and `*pSize` its size in bytes. On every failure `*ppData` is null,
/// `*pSize` 0 and nothing needs releasing.
///
/// Returns 0 on success, otherwise:
/// - the open status of the file services for a missing or unreadable file (FM_ERR_NOT_FOUND,
///   FM_ERR_ACCESS, ...);
/// - FM_ERR_END_OF_FILE for an empty file (or one shorter than the 4-byte count), and when the
///   count promises more records than the file holds and `sig` is not among those present;
/// - PF_ERR_NOT_FOUND (-4) when no record has `sig`, and for a count of zero or below;
/// - PF_ERR_DAMAGED (-8) when a header met on the way (the sought record's included) has a
///   length below 8 or one that runs past the end of the file: nothing is allocated for it;
/// - PF_ERR_NO_MEMORY (-5) when the buffer cannot be allocated;
/// - PF_ERR_INVALID_ARGUMENT (-10) for a null pointer argument (nothing is written through it).
/// Only the headers before the sought record are examined; damage after it goes unnoticed.
VANTREL_API short ReadPreference(const FM_FILESPEC* pSpec, PF_Signature sig, char** ppData,
                                 std::int32_t* pSize);

/// Writes `nSize` bytes of `pData` as the data of the first record with signature `sig`,
/// overwriting it in place, or appends a new record (header, data, then the count at offset 0,
/// so an interrupted append leaves the earlier records and the count as they were). A missing
/// file is created, and an empty one, or one of 1 to 3 bytes (a first write cut short; it holds
/// no record), gets a count of 0 first. Returns 0 on success, otherwise the first negative
/// file-service status, or, with the file left untouched:
/// - PF_ERR_DAMAGED (-8) for a negative count, a length below 8 or running past the end of the
///   file among the headers walked, or a count that cannot grow (2^31 - 1);
/// - FM_ERR_END_OF_FILE for a count promising more records than the file holds;
/// - PF_ERR_SIZE_MISMATCH (-9) when the existing record's data size is not `nSize` (a record
///   cannot change size in place);
/// - PF_ERR_INVALID_ARGUMENT (-10) for a null `pSpec`, a negative `nSize`, a null `pData` with
///   a positive `nSize`, or `nSize` above 2^31 - 9; the file is then not even opened.
VANTREL_API short WritePreference(const FM_FILESPEC* pSpec, PF_Signature sig, const char* pData,
                                  std::int32_t nSize);

/// True when record 100 (PF_SigOldVersion) cannot be read for any reason: the file has no such
/// record, cannot be opened or read, is damaged, or memory runs out. False when it can be read.
VANTREL_API bool IsPreferenceFileVersionUpdated(const FM_FILESPEC* pSpec);

// ---------------------------------------------------------------------------------------------
// Monitor and profile settings

/// Stores the default monitor: an empty name, primaries 0.64/0.33, 0.30/0.60, 0.15/0.06,
/// gamma 2.2, white 0.3127/0.329, and the names "D65", "ITU-R BT 709" and "sRGB". Units after
/// each terminator are left as they were.
VANTREL_API void GetDefaultMonitor(PF_MonitorSettings& s);

/// Stores all 64 bytes of the default profile settings: words 0, 0x4D434836 ("MCH6", stored
/// as the bytes "6HCM"), 2, 1, then the 64-bit values 1 and 1, then 32 zero bytes.
VANTREL_API void GetDefault(PF_ProfileSettings& s);

/// Creates (or empties) the file and writes a complete default preference file of 2960 bytes:
/// count 3, then the default meter options (103), profile settings (101) and monitor settings
/// (102, every byte that GetDefaultMonitor leaves alone zero). Returns 0, or the first negative
/// file-service status; a file that failed after its creation is left as it stands.
VANTREL_API short CreateDefaultPreferenceFile_NoMeterOptions(const FM_FILESPEC* pSpec);

// ---------------------------------------------------------------------------------------------
// Meter settings

/// The options of two measuring instruments, loaded from and saved to the meter options record
/// (103) of the preference file named at construction. Codes survive a save and a load only
/// below 100 (100 is added to a code whose flag is 1), flags only as 0 or 1.
class VANTREL_API CMeterSettings {
  public:
    /// Stores the path and sets every other member to its default; does not touch the file.
    explicit CMeterSettings(CString strPrefFile);
    CMeterSettings(const CMeterSettings& other);
    virtual ~CMeterSettings();
    CMeterSettings& operator=(const CMeterSettings& other);

    /// true: loads the members from record 103. When the record cannot be read (missing file
    /// or record, damaged file, a path that does not fit an FM_FILESPEC) or holds fewer
    /// than 1040 bytes, the codes, values and flags return to their defaults and the data
    /// areas keep what they held. A longer record is read by its first 1040 bytes.
    /// false: saves the members as record 103 (appended, or overwritten in place). Failures
    /// are not reported; a path that does not fit an FM_FILESPEC saves nothing.
    void Update(bool bLoad);

    CString m_strPrefFile;
    std::int32_t m_nCode1 = 0;
    std::int32_t m_nValue1 = 1;
    std::int32_t m_nCode2 = 0;
    std::int32_t m_nValue2 = 1;
    BOOL m_bFlag1 = 0;
    BOOL m_bFlag2 = 0;
    std::uint8_t m_abData1[256] = {};
    std::uint8_t m_abData2[256] = {};
};

// ---------------------------------------------------------------------------------------------
// Wizard states and dialog palette

/// The state of a multi-page wizard, filled and copied by the host. The library only gives it
/// its defaults (m_nState5 1, m_nState18 99, m_fState19 1.0, everything else zero or empty).
class VANTREL_API CWizardStates {
  public:
    CWizardStates();
    CWizardStates(const CWizardStates& other);
    ~CWizardStates();
    CWizardStates& operator=(const CWizardStates& other);

    std::int32_t m_nState0;
    std::int32_t m_nState1;
    std::int32_t m_nState2;
    std::int32_t m_nState3;
    std::int32_t m_nState4;
    std::int32_t m_nState5;
    BYTE m_bState6;
    std::int32_t m_nState7;
    std::int32_t m_nState8;
    std::int32_t m_nState9;
    BYTE m_bState10;
    CString m_strState11;
    CString m_strState12;
    CString m_strState13;
    BYTE m_bState14;
    BYTE m_bState15;
    BYTE m_bState16;
    BYTE m_abState17[256];
    std::int32_t m_nState18;
    float m_fState19;
    CString m_strState20;
    std::int32_t m_nState21;
    CString m_strState22;
    std::int32_t m_nState23;
    BYTE m_bState24;
};

/// The colours (0x00BBGGRR) with which dialogs draw ink channels and additive primaries. A host
/// may change them; the library never writes them.
class VANTREL_API CDialogPalette {
  public:
    CDialogPalette() = default;
    CDialogPalette(const CDialogPalette&) = default;
    /// Both assignments copy nothing (there is no instance data) and return *this.
    CDialogPalette& operator=(const CDialogPalette& other);
    CDialogPalette& operator=(CDialogPalette&& other);

    static COLORREF lblack;         ///< 80, 80, 80
    static COLORREF additiveBlue;   ///< 0, 0, 255
    static COLORREF additiveGreen;  ///< 0, 255, 0
    static COLORREF additiveRed;    ///< 255, 0, 0
    static COLORREF mmagenta;       ///< 220, 79, 144
    static COLORREF mcyan;          ///< 26, 173, 219
    static COLORREF green;          ///< 0, 138, 88
    static COLORREF orange;         ///< 239, 67, 0
    static COLORREF lmagenta;       ///< 227, 116, 166
    static COLORREF lcyan;          ///< 100, 190, 228
    static COLORREF black;          ///< 20, 23, 25
    static COLORREF yellow;         ///< 255, 233, 0
    static COLORREF magenta;        ///< 212, 20, 121
    static COLORREF cyan;           ///< 0, 159, 203
};
