// The text functions on arbitrary text, arrays and capacities. The input's last bytes are the
// numeric arguments (index, delimiter, capacity, dither id, floats); the rest is the text, and
// also the raw bytes of a DITHERINFOARRAY, the host's dither-name list and UTF-8 to convert.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "vantrel/dialog.h"
#include "vantrel/frame.h"
#include "vantrel/text.h"
#include "vantrel_platform/stringapiset.h"

namespace {

constexpr UINT kHostMenuId = 40001;

bool HasBackslash(const std::wstring& text) {
    return text.find(L'\\') != std::wstring::npos;
}

void FuzzNames(const std::wstring& text, bool noAppend) {
    const int iccValid = IsValidICCFilename(text.c_str());
    VANTREL_FUZZ_CHECK(!iccValid || IsValidFilename(text.c_str()));

    CString icc(text.c_str());
    const int repaired = MakeValidICCFilename(icc, noAppend);
    if (repaired) {
        VANTREL_FUZZ_CHECK(IsValidICCFilename(icc.GetString()) == 1);
        CString again = icc;
        VANTREL_FUZZ_CHECK(MakeValidICCFilename(again, noAppend) == 1 && again == icc);
    } else {
        VANTREL_FUZZ_CHECK(icc.str() == text);
    }
    VANTREL_FUZZ_CHECK(!iccValid || noAppend || repaired);

    CString plain(text.c_str());
    if (MakeValidFilename(plain)) {
        VANTREL_FUZZ_CHECK(IsValidFilename(plain.GetString()) == 1 && plain.GetLength() > 0);
        CString again = plain;
        VANTREL_FUZZ_CHECK(MakeValidFilename(again) == 1 && again == plain);
    } else {
        VANTREL_FUZZ_CHECK(plain.str() == text);
    }
}

void FuzzPaths(const std::wstring& text) {
    const AString path(text.c_str());
    const AString dir = GetDirectory(path), file = GetFilename(path);
    const CString cdir = GetDirectory(CString(text)), cfile = GetFilename(CString(text));
    VANTREL_FUZZ_CHECK(CString(dir) == cdir && CString(file) == cfile);
    const std::wstring name = cfile.str();
    VANTREL_FUZZ_CHECK(!HasBackslash(name));
    VANTREL_FUZZ_CHECK(text.size() >= name.size() &&
                       text.compare(text.size() - name.size(), name.size(), name) == 0);
    if (HasBackslash(text)) {
        VANTREL_FUZZ_CHECK(!cdir.str().empty() && cdir.str().back() == L'\\');
    } else {
        VANTREL_FUZZ_CHECK(cdir.str().empty() && name == text);
    }
}

void FuzzMenus(const std::wstring& text, unsigned int index) {
    static CComboBox combo;
    if (!combo.m_hWnd)
        combo.Attach(vplatform::CreateWindow(vplatform::WindowKind::ComboBox, nullptr, 7, 40, 20));

    std::wstring menu = text;
    LoadMenuItem(menu.data(), &combo);
    VANTREL_FUZZ_CHECK(menu == text);
    const int count = combo.GetCount();
    VANTREL_FUZZ_CHECK(count <= static_cast<int>(text.size()));
    std::vector<CString> all(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        combo.GetLBText(i, all[i]);
        VANTREL_FUZZ_CHECK(all[i].GetLength() <= 127);
        VANTREL_FUZZ_CHECK(all[i] == GetIthMenuItemDesc(text.c_str(), static_cast<unsigned>(i)));
    }
    VANTREL_FUZZ_CHECK(GetIthMenuItemDesc(text.c_str(), static_cast<unsigned>(count)) == L"\\\\");
    (void)GetIthMenuItemDesc(text.c_str(), index);

    // The same text as a resource of the host: the items that fit its work buffer.
    AfxGetAppModuleState()->SetString(kHostMenuId, text.c_str());
    LoadMenuItem(kHostMenuId, &combo);
    VANTREL_FUZZ_CHECK(combo.GetCount() <= count);
    for (int i = 0; i < combo.GetCount(); ++i) {
        CString item;
        combo.GetLBText(i, item);
        VANTREL_FUZZ_CHECK(item == all[static_cast<size_t>(i)]);
    }
}

// An output buffer of exactly `capacity` units (one at least, so that it has an address): a
// write past the capacity is caught.
std::vector<wchar_t> Buffer(int capacity) {
    return std::vector<wchar_t>(static_cast<size_t>(std::max(capacity, 1)), L'#');
}

// Terminated within the buffer, and only zeros after the terminator.
bool ClearedAndTerminated(const std::vector<wchar_t>& out) {
    const auto end = std::find(out.begin(), out.end(), L'\0');
    return end != out.end() && std::all_of(end, out.end(), [](wchar_t c) { return c == 0; });
}

void FuzzDither(const std::uint8_t* bytes, size_t size, const std::wstring& list, int id,
                int capacity, std::uint8_t fill) {
    auto array = std::make_unique<DITHERINFOARRAY>();
    std::memset(array.get(), fill, sizeof(DITHERINFOARRAY));
    if (size > 0) std::memcpy(array.get(), bytes, std::min(size, sizeof(DITHERINFOARRAY)));
    AfxGetAppModuleState()->SetString(VANTREL_IDS_DITHER_NAMES, list.c_str());

    for (const DITHERINFOARRAY* source : {static_cast<const DITHERINFOARRAY*>(array.get()),
                                          static_cast<const DITHERINFOARRAY*>(nullptr)}) {
        std::vector<wchar_t> local = Buffer(capacity), key = Buffer(capacity),
                             english = Buffer(capacity);
        GetLocalDitherStrByDitherID(source, id, local.data(), capacity);
        GetDitherString(source, id, key.data(), capacity);
        GetEnglishDitherStrByDitherID(source, id, english.data(), capacity);
        if (capacity <= 0) continue;
        VANTREL_FUZZ_CHECK(ClearedAndTerminated(local) && ClearedAndTerminated(key));
        VANTREL_FUZZ_CHECK(english.back() == 0);
    }
    AfxGetAppModuleState()->RemoveString(VANTREL_IDS_DITHER_NAMES);
}

void FuzzResolution(float x, float y, int capacity) {
    CString text;
    GetResolutionString(x, y, text);
    VANTREL_FUZZ_CHECK(text.GetLength() > 0 && text.GetLength() <= 31);
    std::vector<wchar_t> out = Buffer(capacity);
    GetResolutionString(x, y, out.data(), static_cast<std::uint32_t>(capacity));
    for (int i = 0; i < capacity; ++i)
        VANTREL_FUZZ_CHECK(out[i] == (i < text.GetLength() ? text[i] : 0));
}

// The platform's UTF-8 conversions on any bytes. The lenient one always converts, into scalar
// values only; the strict one succeeds exactly when the lenient result, encoded again, gives
// the bytes back (an overlong form, a surrogate or a cut sequence would not), and UTF-16 agrees.
void FuzzUtf8(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return;
    const std::string text(bytes.begin(), bytes.end());
    const int size = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    VANTREL_FUZZ_CHECK(units > 0 && units <= size);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    VANTREL_FUZZ_CHECK(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &wide[0], units) ==
                       units);
    for (wchar_t c : wide) VANTREL_FUZZ_CHECK(c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF));
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    std::string back(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, &back[0], length, nullptr, nullptr);
    const bool valid =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0) > 0;
    VANTREL_FUZZ_CHECK(valid == (back == text));
    std::u16string utf16;
    VANTREL_FUZZ_CHECK(vplatform::Utf8ToUtf16(text, MB_ERR_INVALID_CHARS, &utf16) == valid);
    std::string again;
    VANTREL_FUZZ_CHECK(
        !valid || (vplatform::Utf16ToUtf8(utf16, WC_ERR_INVALID_CHARS, &again) && again == text));
}

}  // namespace

// Trimming follows the character classes of the locale: a UTF-8 one knows the Unicode spaces.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int index = input.ConsumeIntegral<int>();
    const auto delimiter = static_cast<wchar_t>(input.ConsumeIntegral<std::uint8_t>());
    const bool noAppend = input.ConsumeBool();
    const int capacity = input.ConsumeIntegralInRange<int>(-1, 300);
    const int ditherId = input.ConsumeIntegralInRange<int>(-2, 9);
    const auto fill = input.ConsumeIntegral<std::uint8_t>();
    // Any bit pattern: NaNs, infinities and subnormals included.
    auto anyFloat = [&] {
        return testing_support::FloatFromBits(input.ConsumeIntegral<std::uint32_t>());
    };
    const float x = anyFloat();
    const float y = input.ConsumeBool() ? 0.0f : anyFloat();
    const std::vector<std::uint8_t> rest = input.ConsumeRemainingBytes<std::uint8_t>();
    const std::wstring text = fuzz::WideText(rest.data(), rest.size());

    const CString extension = GetFileExt(CString(text), index, delimiter);
    VANTREL_FUZZ_CHECK(extension.str().find_first_of(std::wstring(L"*.") + delimiter) ==
                       std::wstring::npos);
    FuzzNames(text, noAppend);
    FuzzPaths(text);
    FuzzMenus(text, static_cast<unsigned>(index));
    FuzzDither(rest.data(), rest.size(), text, ditherId, capacity, fill);
    FuzzResolution(x, y, std::max(capacity, 0) % 64);
    FuzzUtf8(rest);
    return 0;
}
