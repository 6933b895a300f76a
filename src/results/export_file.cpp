#include "results/export_file.h"

#include <cerrno>

#include <sys/stat.h>

#include "platform/replacing_file.h"
#include "results/result_set_text.h"

namespace trawler::results {

std::string ExistingContent(const std::string& fileName) {
  struct stat st {};
  if (::stat(fileName.c_str(), &st) != 0 && errno == ENOENT) return {};
  return ReadFileForLoad(fileName, kMaxResultSetFileSize);
}

void WriteExport(const std::string& fileName, const std::string& added, bool keepContent) {
  const std::string previous = keepContent ? ExistingContent(fileName) : std::string();
  platform::ReplacingFile file(fileName);
  if (!file.Open()) throw ResultSetError(file.Error());
  file.Write(previous);
  file.Write(added);
  if (!file.Commit()) throw ResultSetError(file.Error());
}

}  // namespace trawler::results
