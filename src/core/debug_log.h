#pragma once

// The per-engine debug log of a search: one small HTML file per engine and search in the
// engine list's DebugDir, written only while Debug is on. Each record opens, appends to and
// closes the file, so a crash loses nothing already logged.

#include <string>

#include "core/sdf_records.h"
#include "results/hit.h"

namespace trawler::core {

class TEngineList;

// The log's file name: engine key with the characters a file name cannot hold replaced by
// "_", then "_", the category, "_", and the date as year, month and day without padding.
std::string DebugLogFileName(const std::string &engineKey, const std::string &category,
                             text::TDateTime date);

// Starts the engine's log (replacing an older file of the same name).
void StartDebugLog(TEngineList &list, TEngine &engine);
// The record of a request about to be sent.
void LogRequestRecord(TEngineList &list, TEngine &engine);
// The record of a new result (only with DebugNeedResult).
void LogResultRecord(TEngineList &list, TEngine &engine, const results::tHit &hit);
// The record of the engine's end.
void LogEndRecord(TEngineList &list, TEngine &engine);

}  // namespace trawler::core
