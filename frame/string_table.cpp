// The library's English (United States) string table.
#include "app.h"
#include "frame/string_ids.h"

namespace vantrel {

namespace {

struct StringResource {
    UINT id;
    const wchar_t* text;
};

// The trailing comma of the dither list is part of the text: it is the list's delimiter.
constexpr StringResource kStrings[] = {
    {VANTREL_IDS_DITHER_NAMES,
     L"KF Diffusion,Error Diffusion,QC Diffusion,Random Diffusion,FS Diffusion,LX Diffusion,"
     L"Angled Screen,Vexaline,"},
    {VANTREL_IDS_RANGE_MESSAGE, L"A number between %1 and %2 is required. Closest value inserted"},
    {kIdsCalculatingGamut, L"Calculating gamut..."},
    {kIdsPerceptualTable, L"Building ICC perceptual table..."},
    {kIdsRelativeColorimetricTable, L"Building ICC relative colorimetric table..."},
    {kIdsSaturationTable, L"Building ICC saturation table..."},
    {kIdsGamutTable, L"Building ICC gamut table..."},
    {kIdsSmoothingTables, L"Smoothing look-up tables..."},
    {kIdsForwardTable, L"Building ICC forward look-up table..."},
    {kIdsBuildingTables, L"Building look-up tables..."},
    {kIdsHifiPerceptualTable, L"Building ICC Hifi-ink perceptual table..."},
    {kIdsHifiRelativeColorimetricTable, L"Building ICC Hifi-ink relative colorimetric table..."},
    {kIdsHifiSaturationTable, L"Building ICC Hifi-ink saturation table..."},
    {kIdsPreview0Tag, L"Building ICC preview0Tag..."},
    {kIdsPreview1Tag, L"Building ICC preview1Tag..."},
    {kIdsPreview2Tag, L"Building ICC preview2Tag..."},
};

}  // namespace

void RegisterLibraryStrings(AFX_MODULE_STATE& state) {
    for (const StringResource& s : kStrings) state.SetString(s.id, s.text);
}

}  // namespace vantrel
