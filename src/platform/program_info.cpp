#include "platform/program_info.h"

namespace trawler::platform {

const char *ProgramVersion() { return TRAWLER_VERSION; }

}  // namespace trawler::platform
