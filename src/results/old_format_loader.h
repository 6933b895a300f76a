#pragma once

// Reading result sets of the older line format (".twr"), which the program
// reads but never writes. Lines 1, 3 and 4 hold the category, the query and
// the match mode; then each result is a block that starts with "#%" and its
// title, followed by field lines told apart by their first two characters:
//   %0 an address (the last one is the main address)   %1 an engine key
//   %2, %3 pieces of the description                   %4 check state
//   %5 date as day.month.year                          %6 relevance
// A line that is just "#%" ends a block without starting one.

#include <string>

#include "results/results_list.h"

namespace trawler::results {

// Adds the file's results to the list (no duplicate check). A full load
// also takes the category, query and match mode, dates the set by the
// file's write time and names the list after the file with its ".twr"
// extension changed to ".twf" - the file the set will be saved to. Blocks
// without an address are dropped (a result always has one).
// OnLoadProgress (0, 1) at the start and the end, then OnUpdate; counts are
// recomputed. Throws ResultSetError when the file cannot be read.
void LoadOldFile(tResultsList& list, const std::string& fileName, bool merge);

// The same for content already in memory.
void LoadOldText(tResultsList& list, const std::string& content, const std::string& fileName,
                 bool merge);

// fileName with a final ".twr" extension, in any letter case, changed to
// ".twf"; any other name unchanged.
std::string SaveNameForOldFile(const std::string& fileName);

}  // namespace trawler::results
