#pragma once

namespace trawler::core {

// How the words of a query are combined.
enum tMatchMode : int { mmAll = 0, mmAny = 1, mmExact = 2, mmBoolean = 3 };

// What a reached limit does to an engine.
enum tPauseMode : int { pmLimit = 0, pmPage = 1, pmNone = 2 };

}  // namespace trawler::core
