// REGEDIT4 export of a key and its subtree.

#include <cstdio>

#include "platform/atomic_file.h"
#include "platform/registry.h"

namespace trawler::platform {

namespace {

// Keys nest far less deeply than this; the bound only protects against a
// damaged hive.
constexpr int MaxExportDepth = 512;

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

// The line of one value, "" when the value is left out; false when it cannot
// be read.
bool ValueLine(RegKey &key, const std::string &name, std::string &line) {
  line = name.empty() ? "@=" : Quoted(name) + "=";
  char hex[16];
  switch (key.GetDataType(name)) {
    case RegType::String: {
      const auto text = key.ReadString(name);
      if (!text) return false;
      line += Quoted(*text);
      return true;
    }
    case RegType::Integer: {
      const auto number = key.ReadInteger(name);
      if (!number) return false;
      std::snprintf(hex, sizeof hex, "dword:%08X", static_cast<unsigned>(*number));
      line += hex;
      return true;
    }
    case RegType::Binary: {
      const auto data = key.ReadBinary(name);
      if (!data) return false;
      if (data->empty() || data->size() > 999) {
        line.clear();
        return true;
      }
      line += "hex:";
      for (std::size_t i = 0; i < data->size(); ++i) {
        std::snprintf(hex, sizeof hex, i ? ",%02X" : "%02X", (*data)[i]);
        line += hex;
      }
      return true;
    }
    case RegType::None:
      // Gone since it was listed, or a kind of value this program never
      // writes: nothing to show.
      if (!key.ValueExists(name)) return false;
      line.clear();
      return true;
  }
  return false;
}

void ExportKey(RegistryStore &store, Hive hive, const std::string &keyPath,
               const std::string &shownPath, int depth, std::string &out) {
  RegKey key(store, hive);
  if (!key.OpenKey(keyPath, false)) return;
  out += "[" + shownPath + "]\n";
  bool complete = true;
  for (const std::string &name : key.GetValueNames()) {
    std::string line;
    if (!ValueLine(key, name, line)) {
      // A value that cannot be read ends this key's values; its subkeys
      // are still written.
      complete = false;
      break;
    }
    if (!line.empty()) out += line + "\n";
  }
  if (complete) out += "\n";
  if (depth >= MaxExportDepth) return;
  for (const std::string &sub : key.GetKeyNames())
    ExportKey(store, hive, keyPath + "\\" + sub, shownPath + "\\" + sub, depth + 1, out);
}

std::string AbsoluteKeyPath(std::string_view keyPath) {
  std::string path(keyPath);
  if (path.empty() || path.front() != '\\') path.insert(path.begin(), '\\');
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

std::string RegExportText(RegistryStore &store, Hive hive, std::string_view keyPath,
                          std::string_view shownPath) {
  std::string out;
  const std::string path = AbsoluteKeyPath(keyPath);
  ExportKey(store, hive, path == "\\" ? std::string() : path, std::string(shownPath), 0, out);
  return out;
}

bool ExportKeyToReg(RegistryStore &store, Hive hive, std::string_view keyPath,
                    std::string_view shownPath, const std::filesystem::path &fileName) {
  RegKey probe(store, hive);
  if (!probe.OpenKey(AbsoluteKeyPath(keyPath), false)) return false;
  const std::string text = RegExportText(store, hive, keyPath, shownPath);
  std::string content;
  std::error_code ec;
  if (std::filesystem::exists(fileName, ec) && !ReadWholeFile(fileName, content)) return false;
  return WriteFileAtomically(fileName, content + text);
}

}  // namespace trawler::platform
