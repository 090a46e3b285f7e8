// stakeout: for a station of a coordinate register, lists the direction in
// grads and the horizontal distance to every other register point within a
// radius, and appends station after station to a stake-out listing.
//
// The register is read in the fixed layout (point number, north, east, an
// optional elevation that is ignored), one record per line. The listing is
// created with its title, or extended when it exists.
#pragma once

#include <filesystem>

#include "common/console.h"

namespace survey {

int run_stakeout(common::Console& console, const std::filesystem::path& folder);

}  // namespace survey
