// Reads one language pack made from the input: the bytes up to the first
// NUL are its description, the next parts its messages, interface and
// categories files. Loading, selecting, completing and every lookup must
// never crash, whatever the description or the files hold.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "support/lang/lang_list.h"
#include "support/lang/message_format.h"

namespace {

// One pack directory per fuzzing process, removed when the process ends.
class PackDirectory {
 public:
  PackDirectory()
      : root_(std::filesystem::temp_directory_path() /
              ("fuzz_language_pack_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(root_ / "pack");
  }
  ~PackDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  const std::filesystem::path &root() const { return root_; }

 private:
  std::filesystem::path root_;
};

const std::filesystem::path &PackRoot() {
  static const PackDirectory directory;
  return directory.root();
}

void WritePart(const std::filesystem::path &file, std::string_view content) {
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(content.data(), static_cast<std::streamsize>(content.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string_view input(reinterpret_cast<const char *>(data), size);
  const char *files[] = {".description", "messages", "interface", "categories"};
  const std::filesystem::path pack = PackRoot() / "pack";
  for (const char *file : files) {
    std::size_t end = input.find('\0');
    WritePart(pack / file, input.substr(0, end));
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
  }

  trawler::lang::tALanglist list;
  list.StartDir = PackRoot();
  list.DefaultCategories.Assign({"web=Web;Web pages", "news=News"});
  list.LoadPacks();
  if (list.Packs().empty()) return 0;
  const trawler::lang::tALanguage &loaded = *list.Packs().front();
  list.SelectPack(&loaded);
  list.SelectDefaultPack(1049);
  list.SelectPack(&loaded);
  // No format, then the first two formats; lookups of every kind, sampled.
  const std::size_t formats = std::min<std::size_t>(loaded.Formats.size(), 2);
  for (std::size_t f = 0; f <= formats; ++f) {
    list.SelectFormat(f == 0 ? std::string("none") : loaded.Formats[f - 1]->Name);
    for (int n = 0; n < 64; n += 3)
      trawler::lang::FormatMessage(list.MessageText(n, "fallback %s"), {"x", 1});
    for (int n = 100; n < 390; n += 11) list.ItemList(n), list.HintText(n), list.CaptionText(n);
    list.CategoryCaption("web");
    list.CategoryDescription("news");
    list.CategoryCaption("u0", "mine;desc");
  }
  return 0;
}
