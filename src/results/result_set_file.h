#pragma once

// Saving a result set as the program's XML result-set file (".twf"): the
// query, category, match mode and date of the search, its log and engine
// log, the temporary black list, the engines used and every result with its
// marks and link-check fields. Lines end with CR LF; texts are UTF-8 and
// escaped; date-times are day numbers written with "." as the decimal point
// so that files move between locales intact.
//
// The file is written to a temporary file beside it and renamed over it when
// complete, so a failed save leaves the previous file as it was.

#include <string>

#include "results/results_list.h"

namespace trawler::results {

// Saves the list (every result with `all`, else the selected ones) into
// fileName. log and serversLog are texts of lines (the search log and the
// engine status lines). plain turns descriptions into plain text.
//
// Replacing (append false): the file becomes this set; then FileName is the
// file, Plain is `plain` and Saved is true.
// Appending: the file's own set is read, this list's results that the file
// does not hold by an equivalent address are added after the file's results
// (equivalent addresses join the results that hold the page), this list's
// temporary black list is merged, and the whole is written back with the
// file's query and this list's logs. A missing or empty file is written as a
// new set. FileName and Saved of this list do not change.
//
// Progress: OnSaveProgress (0, n) first and (i, n) before result i; an append
// reports (0, 1) ... (1, 1) around the whole. Throws ResultSetError with
// "Bad file format" when appending to a file that is not a result set, or
// with the system's message when the file cannot be read or written; the
// list and the file are then unchanged.
void SaveToFile(tResultsList& list, const std::string& fileName, const std::string& log,
                bool all, bool plain, bool append, const std::string& serversLog);

}  // namespace trawler::results
