#include "common/program_info.h"

// The build passes the project's version; a build without it would print a
// version nobody released.
#if !defined(SURVEYKIT_VERSION) || !defined(SURVEYKIT_BANNER)
#error "SURVEYKIT_VERSION and SURVEYKIT_BANNER are set by the build from the project's version"
#endif

namespace common {

const std::string_view suite_version = SURVEYKIT_VERSION;
const std::string_view suite_banner = SURVEYKIT_BANNER;

}  // namespace common
