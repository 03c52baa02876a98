// CMeterSettings: the options of two measuring instruments, kept in record 103.
#include <cstring>

#include "vantrel/settings.h"

namespace {

// A set flag is stored as 100 added to the instrument's code.
constexpr std::int32_t kFlagInCode = 100;
constexpr size_t kDataHeld = 256;  // bytes of each block's data that the class keeps

std::int32_t EncodeCode(std::int32_t code, BOOL flag) {
    return flag == 1 ? code + kFlagInCode : code;
}

void DecodeBlock(const MeterBlock& block, std::int32_t* code, std::int32_t* value, BOOL* flag,
                 std::uint8_t* data) {
    bool flagged = block.nCode >= kFlagInCode;
    *code = flagged ? block.nCode - kFlagInCode : block.nCode;
    *flag = flagged ? 1 : 0;
    *value = block.nValue;
    std::memcpy(data, block.abData, kDataHeld);
}

}  // namespace

CMeterSettings::CMeterSettings(CString strPrefFile) : m_strPrefFile(std::move(strPrefFile)) {}

CMeterSettings::CMeterSettings(const CMeterSettings& other) = default;

CMeterSettings::~CMeterSettings() = default;

CMeterSettings& CMeterSettings::operator=(const CMeterSettings& other) = default;

void CMeterSettings::Update(bool bLoad) {
    FM_FILESPEC spec;
    bool named = FM_SetPath(&spec, m_strPrefFile.GetString());

    if (!bLoad) {
        if (!named) return;
        MeterOptionsRecord record;
        std::memset(&record, 0, sizeof record);
        record.aBlock[0].nCode = EncodeCode(m_nCode1, m_bFlag1);
        record.aBlock[0].nValue = m_nValue1;
        std::memcpy(record.aBlock[0].abData, m_abData1, kDataHeld);
        record.aBlock[1].nCode = EncodeCode(m_nCode2, m_bFlag2);
        record.aBlock[1].nValue = m_nValue2;
        std::memcpy(record.aBlock[1].abData, m_abData2, kDataHeld);
        WritePreference(&spec, PF_SigMeterOptions, reinterpret_cast<const char*>(&record),
                        sizeof record);
        return;
    }

    char* data = nullptr;
    std::int32_t size = 0;
    short status = named ? ReadPreference(&spec, PF_SigMeterOptions, &data, &size)
                         : short{PF_ERR_INVALID_ARGUMENT};
    if (status < 0 || size < static_cast<std::int32_t>(sizeof(MeterOptionsRecord))) {
        m_nCode1 = 0;
        m_nValue1 = 1;
        m_nCode2 = 0;
        m_nValue2 = 1;
        m_bFlag1 = 0;
        m_bFlag2 = 0;
        delete[] data;
        return;
    }
    MeterOptionsRecord record;
    std::memcpy(&record, data, sizeof record);
    delete[] data;
    DecodeBlock(record.aBlock[0], &m_nCode1, &m_nValue1, &m_bFlag1, m_abData1);
    DecodeBlock(record.aBlock[1], &m_nCode2, &m_nValue2, &m_bFlag2, m_abData2);
}
