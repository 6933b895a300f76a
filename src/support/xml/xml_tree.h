#pragma once

// A small, forgiving XML reader: the document becomes a tree of named nodes
// with text values and attributes. It does not validate, decodes no entities
// and treats declarations and comments like opening tags, so
// «<?xml version="1.0"?>» opens a node named «?xml» that is never closed and
// the document's root element becomes its child. Read result-set files,
// language pack descriptions and the update descriptor with it.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/xml/xml_node.h"

namespace trawler::xml {

// Opening tags nested deeper than this are still kept as nodes but are not
// descended into, so hostile nesting cannot grow the stack of open elements
// without limit.
inline constexpr int kMaxDepth = 512;

// Files larger than this are refused rather than read into memory.
inline constexpr std::uintmax_t kMaxFileSize = std::uintmax_t{512} << 20;

class TdewXMLTree : public TdewXMLNode {
 public:
  TdewXMLTree();

  // Clears the tree, reads the file, tokenizes and builds. A missing or
  // unreadable file (or one above kMaxFileSize) throws std::system_error
  // carrying the system's message; the tree is then left empty.
  void LoadFromFile(const std::filesystem::path &path);

  // The same for a file's content already in memory. A leading UTF-8 byte
  // order mark is skipped. Tokens are built into the tree as they are read
  // (through CompactXmlTree), never listed in `Tokens`. A text of 2 GiB or
  // more throws std::length_error.
  void LoadFromText(std::string_view content);

  // Builds the tree from `Tokens` (the second of two passes, after
  // Tokenize) and empties the list, whose texts move into the nodes; an
  // empty list gives an empty tree. Gives the tree LoadFromText gives.
  void Build();

  // Tokens for Build; empty once the tree is built.
  std::vector<std::string> Tokens;
  int OpenCount = 0;                // opening tags met by the builder
};

}  // namespace trawler::xml
