#include "support/update/zip_unpack.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <memory>
#include <system_error>

namespace trawler::update {

namespace fs = std::filesystem;

namespace {

struct ZipCloser {
  void operator()(zip_t *z) const { zip_discard(z); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;

ZipPtr OpenArchive(const fs::path &archive, std::string &error) {
  int err = 0;
  zip_t *z = zip_open(archive.c_str(), ZIP_RDONLY, &err);
  if (!z) {
    zip_error_t ze;
    zip_error_init_with_code(&ze, err);
    error = zip_error_strerror(&ze);
    zip_error_fini(&ze);
  }
  return ZipPtr(z);
}

std::string Normalized(std::string name) {
  for (char &c : name)
    if (c == '\\') c = '/';
  return name;
}

// Unix file type and permission bits of an entry, when the archive was
// made on a system that records them; 0 otherwise.
mode_t UnixMode(zip_t *z, zip_uint64_t i) {
  zip_uint8_t opsys = 0;
  zip_uint32_t attr = 0;
  if (zip_file_get_external_attributes(z, i, 0, &opsys, &attr) != 0) return 0;
  return opsys == ZIP_OPSYS_UNIX ? static_cast<mode_t>(attr >> 16) : 0;
}

}  // namespace

bool IsSafeEntryName(const std::string &raw) {
  const std::string name = Normalized(raw);
  if (name.empty() || name.front() == '/') return false;
  if (name.size() >= 2 && name[1] == ':') return false;  // a drive letter
  if (name.find('\0') != std::string::npos) return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0 && end - start == 2) return false;
    start = end + 1;
  }
  return true;
}

std::vector<std::string> ZipEntryNames(const fs::path &archive) {
  std::string error;
  ZipPtr z = OpenArchive(archive, error);
  std::vector<std::string> names;
  if (!z) return names;
  const zip_int64_t n = zip_get_num_entries(z.get(), 0);
  for (zip_int64_t i = 0; i < n; ++i)
    if (const char *name = zip_get_name(z.get(), static_cast<zip_uint64_t>(i), 0)) names.emplace_back(name);
  return names;
}

UnpackResult UnpackZip(const fs::path &archive, const fs::path &destination,
                       const std::function<void(int)> &onProgress) {
  UnpackResult r;
  ZipPtr z = OpenArchive(archive, r.Error);
  if (!z) return r;
  const zip_int64_t n = zip_get_num_entries(z.get(), 0);
  if (n <= 0) {
    r.Error = "the archive holds no entries";
    return r;
  }
  // Check everything first: a refused archive writes nothing.
  for (zip_int64_t i = 0; i < n; ++i) {
    const char *name = zip_get_name(z.get(), static_cast<zip_uint64_t>(i), 0);
    if (!name) {
      r.Error = "unreadable entry name";
      return r;
    }
    r.Entries.emplace_back(name);
    if (!IsSafeEntryName(name)) {
      r.Error = std::string("refused entry name ") + name;
      return r;
    }
    const mode_t mode = UnixMode(z.get(), static_cast<zip_uint64_t>(i));
    const mode_t type = mode & S_IFMT;
    if (type != 0 && type != S_IFREG && type != S_IFDIR) {
      r.Error = std::string("refused entry that is not a plain file: ") + name;
      return r;
    }
  }
  std::error_code ec;
  fs::create_directories(destination, ec);
  for (zip_int64_t i = 0; i < n; ++i) {
    const auto index = static_cast<zip_uint64_t>(i);
    const std::string name = Normalized(r.Entries[static_cast<size_t>(i)]);
    const fs::path target = destination / fs::path(name).relative_path();
    if (name.back() == '/') {
      fs::create_directories(target, ec);
      if (ec) {
        r.Error = "cannot create folder " + target.string() + ": " + ec.message();
        return r;
      }
      continue;
    }
    fs::create_directories(target.parent_path(), ec);
    // A link already standing at the target must not redirect the write.
    if (fs::is_symlink(target, ec)) {
      r.Error = "refused to write through the symbolic link " + target.string();
      return r;
    }
    mode_t perms = UnixMode(z.get(), index) & 0777;
    if (perms == 0) perms = 0644;
    perms &= 0755;  // never writable by others through an update
    const fs::path temp = target.parent_path() / (".unpack-" + std::to_string(::getpid()) + "-" + target.filename().string());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      r.Error = "cannot create file " + temp.string();
      return r;
    }
    zip_file_t *zf = zip_fopen_index(z.get(), index, 0);
    bool ok = zf != nullptr;
    char buf[65536];
    while (ok) {
      const zip_int64_t got = zip_fread(zf, buf, sizeof buf);
      if (got < 0) ok = false;
      if (got <= 0) break;
      const char *p = buf;
      zip_int64_t left = got;
      while (left > 0) {
        const ssize_t w = ::write(fd, p, static_cast<size_t>(left));
        if (w <= 0) {
          ok = false;
          break;
        }
        p += w;
        left -= w;
      }
    }
    if (zf && zip_fclose(zf) != 0) ok = false;  // a bad checksum shows here
    if (::fchmod(fd, perms) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (!ok) {
      fs::remove(temp, ec);
      r.Error = "cannot unpack " + name;
      return r;
    }
    fs::rename(temp, target, ec);
    if (ec) {
      fs::remove(temp, ec);
      r.Error = "cannot replace " + target.string();
      return r;
    }
    if (onProgress) onProgress(static_cast<int>((i + 1) * 100 / n));
  }
  r.Ok = true;
  return r;
}

}  // namespace trawler::update
