#include "support/xml/xml_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "support/text/string_toolkit.h"
#include "support/xml/compact_tree.h"
#include "support/xml/xml_tokenizer.h"

namespace trawler::xml {
namespace {


// The name runs up to the first space; attributes follow as name="value"
// pairs. Values are kept as written; single quotes are not recognised, and
// parsing stops at the first missing "=" or double quote.
TdewXMLNode &AddNodeFromTag(TdewXMLNode &parent, std::string_view tag) {
  std::size_t space = tag.find(' ');
  TdewXMLNode &node = parent.AddChild(std::string(tag.substr(0, space)));
  if (space == std::string_view::npos) return node;
  std::size_t pos = space;
  while (pos < tag.size()) {
    std::size_t eq = tag.find('=', pos);
    if (eq == std::string_view::npos) break;
    std::size_t open = tag.find('"', eq + 1);
    if (open == std::string_view::npos) break;
    std::size_t close = tag.find('"', open + 1);
    if (close == std::string_view::npos) break;
    node.AddAttribute(std::string(text::TrimBlanks(tag.substr(pos, eq - pos))),
                      std::string(tag.substr(open + 1, close - open - 1)));
    pos = close + 1;
  }
  return node;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor &) = delete;
  FileDescriptor &operator=(const FileDescriptor &) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

[[noreturn]] void ThrowFileError(int error, const std::filesystem::path &path) {
  throw std::system_error(error, std::generic_category(), path.string());
}

std::string ReadWholeFile(const std::filesystem::path &path) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) ThrowFileError(errno, path);
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) ThrowFileError(errno, path);
  if (S_ISDIR(info.st_mode)) ThrowFileError(EISDIR, path);
  std::string content;
  if (S_ISREG(info.st_mode)) {
    if (static_cast<std::uintmax_t>(info.st_size) > kMaxFileSize) ThrowFileError(EFBIG, path);
    content.reserve(static_cast<std::size_t>(info.st_size));
  }
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(file.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowFileError(errno, path);
    }
    if (got == 0) break;
    if (content.size() + static_cast<std::size_t>(got) > kMaxFileSize) ThrowFileError(EFBIG, path);
    content.append(buffer, static_cast<std::size_t>(got));
  }
  return content;
}

}  // namespace

TdewXMLTree::TdewXMLTree() : TdewXMLNode("root", nullptr) {}

void TdewXMLTree::LoadFromFile(const std::filesystem::path &path) {
  ClearContent();
  Value.clear();
  IsCData = false;
  Tokens.clear();
  OpenCount = 0;
  LoadFromText(ReadWholeFile(path));
}

void TdewXMLTree::LoadFromText(std::string_view content) {
  // One pass into the compact form (no list of tokens in between), then
  // the nodes; each node's parent comes before it, so no recursion is needed.
  const CompactXmlTree compact(content);
  ClearContent();
  Value = std::string(compact.Value(CompactXmlTree::kRoot));
  IsCData = compact.IsCData(CompactXmlTree::kRoot);
  Name = "root";
  Tokens.clear();
  OpenCount = compact.OpenCount();
  std::vector<TdewXMLNode *> made(compact.NodeCount(), nullptr);
  made[CompactXmlTree::kRoot] = this;
  for (CompactXmlTree::NodeId id = 1; id < compact.NodeCount(); ++id) {
    TdewXMLNode &node = made[compact.Parent(id)]->AddChild(std::string(compact.Name(id)));
    node.Value = std::string(compact.Value(id));
    node.IsCData = compact.IsCData(id);
    for (std::size_t a = 0; a < compact.AttributeCount(id); ++a) {
      const CompactXmlTree::Attribute attribute = compact.AttributeAt(id, a);
      node.AddAttribute(std::string(attribute.Name), std::string(attribute.Value));
    }
    made[id] = &node;
  }
}

void TdewXMLTree::Build() {
  ClearContent();
  Value.clear();
  IsCData = false;
  Name = "root";
  OpenCount = 0;
  TdewXMLNode *current = this;
  int depth = 0;
  // Opening tags met beyond kMaxDepth; their closing tags pop this count
  // instead of the node stack.
  int overflow = 0;
  for (std::string &token : Tokens) {
    const std::string_view marker = std::string_view(token).substr(0, 3);
    const std::string_view text = token.size() > 3 ? std::string_view(token).substr(3) : std::string_view();
    if (marker == kOpenTagMarker) {
      ++OpenCount;
      TdewXMLNode &node = AddNodeFromTag(*current, text);
      if (depth < kMaxDepth) {
        current = &node;
        ++depth;
      } else {
        ++overflow;
      }
    } else if (marker == kCloseTagMarker) {
      if (overflow > 0) {
        --overflow;
      } else if (current->Parent != nullptr) {
        current = current->Parent;
        --depth;
      }
    } else if (marker == kEmptyTagMarker) {
      AddNodeFromTag(*current, text);
    } else if (marker == kTextMarker || marker == kCDataMarker) {
      current->IsCData = marker == kCDataMarker;
      // The token's own buffer becomes the value: large files hold many
      // long texts, and copying each would double their cost.
      token.erase(0, 3);
      current->Value = std::move(token);
    }
  }
  Tokens.clear();
}

}  // namespace trawler::xml
