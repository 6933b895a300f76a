#pragma once

// Writes an export so that the file is either the old one or the complete
// new one: the previous content (when adding to the file) and the new text
// go to a temporary file that replaces the target when complete.

#include <string>

namespace trawler::results {

// Replaces fileName by its current content (when keepContent and it exists)
// followed by `added`. Throws ResultSetError with the system's message when
// the file cannot be read or written; the file is then unchanged.
void WriteExport(const std::string& fileName, const std::string& added, bool keepContent);

// The current content of fileName; empty when it does not exist.
std::string ExistingContent(const std::string& fileName);

}  // namespace trawler::results
