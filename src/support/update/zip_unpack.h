#pragma once

// Unpacking an update archive into one folder, refusing anything that could
// write outside it: absolute names, ".." parts, symbolic links, devices.
// Every entry is checked before anything is written, so a refused archive
// leaves the folder untouched. File modes keep only the permission bits
// (never set-uid, set-gid or sticky), and files are written next to their
// target and renamed over it.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace trawler::update {

struct UnpackResult {
  bool Ok = false;
  std::string Error;                 // why it failed, when not Ok
  std::vector<std::string> Entries;  // entry names as stored, when read
};

// Entry names are relative paths; "\" counts as a separator like "/".
UnpackResult UnpackZip(const std::filesystem::path &archive, const std::filesystem::path &destination,
                       const std::function<void(int percent)> &onProgress = {});

// The archive's entry names; empty when it cannot be read.
std::vector<std::string> ZipEntryNames(const std::filesystem::path &archive);

// Whether an entry name stays inside the folder it is unpacked into.
bool IsSafeEntryName(const std::string &name);

}  // namespace trawler::update
