#pragma once

// Writes a file in pieces without ever exposing a half-written file: the
// pieces go to a temporary file in the target's folder, which replaces the
// target only when Commit succeeds. Abandoning the writer (or any failure)
// removes the temporary file and leaves the previous file untouched.

#include <filesystem>
#include <string>
#include <string_view>

namespace trawler::platform {

class ReplacingFile {
 public:
  explicit ReplacingFile(std::filesystem::path target);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile &) = delete;
  ReplacingFile &operator=(const ReplacingFile &) = delete;

  // Creates the temporary file; false (with Error set) when it cannot.
  bool Open();
  // Appends text; output is buffered, so a failure may show only at a later
  // Write or at Commit. After a failure further writes are ignored.
  void Write(std::string_view text);
  // Flushes, syncs and renames the temporary file over the target. An
  // existing target keeps its permission bits.
  bool Commit();

  bool Failed() const { return !FError.empty(); }
  // The system's message for the first failure, with the file's name.
  const std::string &Error() const { return FError; }

 private:
  bool Flush();
  void Fail(const std::string &what, int error_number);
  void Discard();

  std::filesystem::path FTarget;
  std::string FTemp;
  std::string FBuffer;
  std::string FError;
  int FFd = -1;
  unsigned FMode = 0;
};

}  // namespace trawler::platform
