// Ids of the library's string table, for the code that registers the strings, the code that
// loads them and the tests. The ids under which a host may register its own text are public
// (vantrel/frame.h); the progress messages have an id each here.
#pragma once

#include "vantrel/frame.h"

namespace vantrel {

// The progress messages of a profile build, in the order of their ids.
constexpr unsigned int kIdsCalculatingGamut = 28786;
constexpr unsigned int kIdsPerceptualTable = 28787;
constexpr unsigned int kIdsRelativeColorimetricTable = 28788;
constexpr unsigned int kIdsSaturationTable = 28789;
constexpr unsigned int kIdsGamutTable = 28790;
constexpr unsigned int kIdsSmoothingTables = 28791;
constexpr unsigned int kIdsForwardTable = 28792;
constexpr unsigned int kIdsBuildingTables = 28793;  // every code without a message of its own
constexpr unsigned int kIdsHifiPerceptualTable = 28794;
constexpr unsigned int kIdsHifiRelativeColorimetricTable = 28795;
constexpr unsigned int kIdsHifiSaturationTable = 28796;
constexpr unsigned int kIdsPreview0Tag = 28797;
constexpr unsigned int kIdsPreview1Tag = 28798;
constexpr unsigned int kIdsPreview2Tag = 28799;
static_assert(kIdsCalculatingGamut == VANTREL_IDS_PROGRESS_FIRST &&
                  kIdsPreview2Tag == VANTREL_IDS_PROGRESS_LAST,
              "the public range holds every progress message");

}  // namespace vantrel
