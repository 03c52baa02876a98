/// @file
/// The records of a preference file and their signatures. Plain data, laid out byte for byte as
/// the file stores them (little-endian integers and IEEE single-precision floats, UTF-16 text,
/// no padding), so a record is read or written by copying its bytes. Included by settings.h
/// and colorimetry.h.
#pragma once

#include <cstddef>
#include <cstdint>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "preference records are stored little-endian, exactly as they lie in memory");

/// Signature of a preference record. Any 32-bit value is a valid signature; these are the ones
/// the library knows.
enum PF_Signature : std::int32_t {
    PF_SigOldVersion = 100,       ///< marks a file that has not been updated; never read
    PF_SigProfileSettings = 101,  ///< PF_ProfileSettings, 64 bytes
    PF_SigMonitorSettings = 102,  ///< PF_MonitorSettings, 1828 bytes
    PF_SigMeterOptions = 103,     ///< MeterOptionsRecord, 1040 bytes
};

/// A monitor: the chromaticities (CIE 1931 x, y) of its primaries and white point, its gamma,
/// and names. Text fields are null-terminated UTF-16; units after the terminator mean nothing.
struct PF_MonitorSettings {
    char16_t szName[512];
    float fRedX;
    float fRedY;
    float fGreenX;
    float fGreenY;
    float fBlueX;
    float fBlueY;
    float fGamma;  ///< display gamma
    float fWhiteX;
    float fWhiteY;
    char16_t szWhitePointName[128];
    char16_t szPrimariesName[128];
    char16_t szGammaName[128];  ///< the tone response that goes with fGamma
};
static_assert(sizeof(PF_MonitorSettings) == 1828, "PF_MonitorSettings is 1828 bytes");
static_assert(offsetof(PF_MonitorSettings, fRedX) == 1024, "layout");
static_assert(offsetof(PF_MonitorSettings, fRedY) == 1028, "layout");
static_assert(offsetof(PF_MonitorSettings, fGreenX) == 1032, "layout");
static_assert(offsetof(PF_MonitorSettings, fGreenY) == 1036, "layout");
static_assert(offsetof(PF_MonitorSettings, fBlueX) == 1040, "layout");
static_assert(offsetof(PF_MonitorSettings, fBlueY) == 1044, "layout");
static_assert(offsetof(PF_MonitorSettings, fGamma) == 1048, "layout");
static_assert(offsetof(PF_MonitorSettings, fWhiteX) == 1052, "layout");
static_assert(offsetof(PF_MonitorSettings, fWhiteY) == 1056, "layout");
static_assert(offsetof(PF_MonitorSettings, szWhitePointName) == 1060, "layout");
static_assert(offsetof(PF_MonitorSettings, szPrimariesName) == 1316, "layout");
static_assert(offsetof(PF_MonitorSettings, szGammaName) == 1572, "layout");

/// Profile-building settings. Only sigColorSpace has a meaning to this library (a four-character
/// colour-space code read as a big-endian number); the others are kept for the host. The two
/// 8-byte fields are single 64-bit numbers.
struct PF_ProfileSettings {
    std::int32_t nSetting0;
    std::uint32_t sigColorSpace;
    std::int32_t nSetting8;
    std::int32_t nSetting12;
    std::int64_t nSetting16;
    std::int64_t nSetting24;
    std::uint8_t abSetting32[32];
};
static_assert(sizeof(PF_ProfileSettings) == 64, "PF_ProfileSettings is 64 bytes");
static_assert(offsetof(PF_ProfileSettings, sigColorSpace) == 4, "layout");
static_assert(offsetof(PF_ProfileSettings, nSetting8) == 8, "layout");
static_assert(offsetof(PF_ProfileSettings, nSetting12) == 12, "layout");
static_assert(offsetof(PF_ProfileSettings, nSetting16) == 16, "layout");
static_assert(offsetof(PF_ProfileSettings, nSetting24) == 24, "layout");
static_assert(offsetof(PF_ProfileSettings, abSetting32) == 32, "layout");

/// The options of one measuring instrument. nCode carries 100 more when the instrument's flag
/// is set (see CMeterSettings); the first 256 bytes of abData are the instrument's data, the
/// last 256 are unused.
struct MeterBlock {
    std::int32_t nCode;
    std::int32_t nValue;
    std::uint8_t abData[512];
};
static_assert(sizeof(MeterBlock) == 520, "MeterBlock is 520 bytes");
static_assert(offsetof(MeterBlock, nValue) == 4, "layout");
static_assert(offsetof(MeterBlock, abData) == 8, "layout");

/// The options of two measuring instruments.
struct MeterOptionsRecord {
    MeterBlock aBlock[2];
};
static_assert(sizeof(MeterOptionsRecord) == 1040, "MeterOptionsRecord is 1040 bytes");
