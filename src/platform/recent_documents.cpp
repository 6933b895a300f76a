#include "platform/recent_documents.h"

#include <glib.h>

#include <cstdlib>
#include <memory>
#include <system_error>

namespace trawler::platform {

namespace {

struct BookmarkFree {
  void operator()(GBookmarkFile *b) const { g_bookmark_file_free(b); }
};
struct GFree {
  void operator()(void *p) const { g_free(p); }
};

std::string MimeTypeOf(const std::filesystem::path &file) {
  std::string ext = file.extension().string();
  for (char &c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".twf") return "application/x-trawler-results";
  if (ext == ".twr") return "application/x-trawler-old-results";
  return "application/octet-stream";
}

}  // namespace

std::filesystem::path RecentDocumentsFile() {
  const char *data = std::getenv("XDG_DATA_HOME");
  if (data && *data == '/') return std::filesystem::path(data) / "recently-used.xbel";
  const char *home = std::getenv("HOME");
  return std::filesystem::path(home ? home : "/") / ".local" / "share" / "recently-used.xbel";
}

bool AddToRecentDocuments(const std::filesystem::path &file, const std::filesystem::path &listFile) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(file, ec);
  if (ec) return false;
  std::unique_ptr<GBookmarkFile, BookmarkFree> list(g_bookmark_file_new());
  GError *error = nullptr;
  if (std::filesystem::exists(listFile, ec) && !g_bookmark_file_load_from_file(list.get(), listFile.c_str(), &error)) {
    g_clear_error(&error);
    return false;
  }
  std::unique_ptr<char, GFree> uri(g_filename_to_uri(absolute.c_str(), nullptr, &error));
  if (!uri) {
    g_clear_error(&error);
    return false;
  }
  g_bookmark_file_set_mime_type(list.get(), uri.get(), MimeTypeOf(absolute).c_str());
  g_bookmark_file_add_application(list.get(), uri.get(), "Trawler", "trawler %u");
  std::filesystem::create_directories(listFile.parent_path(), ec);
  // GLib writes to a temporary file beside the list and renames it over.
  const bool ok = g_bookmark_file_to_file(list.get(), listFile.c_str(), &error);
  g_clear_error(&error);
  return ok;
}

}  // namespace trawler::platform
