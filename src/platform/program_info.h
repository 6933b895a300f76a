#pragma once

namespace trawler::platform {

// The program's version text, "major.minor.patch".
const char *ProgramVersion();

}  // namespace trawler::platform
