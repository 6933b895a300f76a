#pragma once

// Reading the program's XML result-set files, in the form the program writes
// and in the shorter element names of earlier files. The reader is
// forgiving: elements are found by name wherever they stand, missing ones
// keep their defaults, and numbers that are not numbers give defaults.
//
// Texts are UTF-8 when the file says "utf-8" (or "utf8") or is valid UTF-8
// throughout; any other file is decoded from the legacy code page.

#include <string>

#include "results/results_list.h"

namespace trawler::results {

// Reads a result-set file into the list.
//
// Full load (merge false): the list takes the file's date, query, category,
// match mode, plain flag, site ids and temporary black list; serversLog and
// log receive the file's engine log and search log; afterwards FileName is
// the file and Saved is true. A merge adds only the file's results whose
// main address the list does not hold and the black-list entries neither
// black list holds; the list keeps its own description, and both out texts
// come back empty.
//
// Results with an empty title or main address are skipped. OnLoadProgress
// reports (i, n) before the results element's child i and (0, 1) at the end;
// OnUpdate and OnBlackListUpdate are raised and the counts recomputed.
//
// Throws ResultSetError: with the system's message when the file cannot be
// read, and with "Bad file format" when it is not a result set - then the
// list is left exactly as it was.
void LoadFromFile(tResultsList& list, const std::string& fileName, bool merge,
                  std::string& serversLog, std::string& log);

// The same for a file's content already in memory (fileName is what
// FileName becomes, and whose write time dates a set without a date).
void LoadFromText(tResultsList& list, const std::string& content, const std::string& fileName,
                  bool merge, std::string& serversLog, std::string& log);

}  // namespace trawler::results
