// The library's English (United States) string table.
#include "frame/app.h"
#include "vantrel/frame.h"

namespace vantrel {

namespace {

struct StringResource {
    UINT id;
    const wchar_t* text;
};

// The trailing comma of the dither list is part of the text: it is the list's delimiter.
constexpr StringResource kStrings[] = {
    {28673,
     L"KF Diffusion,Error Diffusion,QC Diffusion,Random Diffusion,FS Diffusion,LX Diffusion,"
     L"Angled Screen,Vexaline,"},
    {28772, L"A number between %1 and %2 is required. Closest value inserted"},
    {28786, L"Calculating gamut..."},
    {28787, L"Building ICC perceptual table..."},
    {28788, L"Building ICC relative colorimetric table..."},
    {28789, L"Building ICC saturation table..."},
    {28790, L"Building ICC gamut table..."},
    {28791, L"Smoothing look-up tables..."},
    {28792, L"Building ICC forward look-up table..."},
    {28793, L"Building look-up tables..."},
    {28794, L"Building ICC Hifi-ink perceptual table..."},
    {28795, L"Building ICC Hifi-ink relative colorimetric table..."},
    {28796, L"Building ICC Hifi-ink saturation table..."},
    {28797, L"Building ICC preview0Tag..."},
    {28798, L"Building ICC preview1Tag..."},
    {28799, L"Building ICC preview2Tag..."},
};

}  // namespace

void RegisterLibraryStrings(AFX_MODULE_STATE& state) {
    for (const StringResource& s : kStrings) state.SetString(s.id, s.text);
}

}  // namespace vantrel
