#pragma once

// Compact one-line picture of a tree for comparing whole trees in tables:
//   name[attr=value;...]="text"{child,child}   ("text"* marks CDATA)

#include <string>

#include "support/xml/xml_node.h"

inline std::string Dump(const trawler::xml::TdewXMLNode &node) {
  std::string out = node.Name;
  if (!node.Attributes.empty()) {
    out += '[';
    for (std::size_t i = 0; i < node.Attributes.size(); ++i) {
      if (i) out += ';';
      out += node.Attributes[i]->Name + "=" + node.Attributes[i]->Value;
    }
    out += ']';
  }
  if (!node.Value.empty()) out += "=\"" + node.Value + "\"";
  if (node.IsCData) out += '*';
  if (!node.Children.empty()) {
    out += '{';
    for (std::size_t i = 0; i < node.Children.size(); ++i) {
      if (i) out += ',';
      out += Dump(*node.Children[i]);
    }
    out += '}';
  }
  return out;
}
