#include "platform/Files.h"

#include <algorithm>
#include <cerrno>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <filesystem>
#include <fstream>
#include <system_error>
#endif

#if defined(__unix__) || defined(__APPLE__)

TReadResult ReadRegularFile(const std::string& path, std::string& out, std::size_t maxBytes) {
  out.clear();
  if (path.find('\0') != std::string::npos) return rrMissing;
  // Devices are not even opened (opening some has effects of its own); the
  // check is made again on what was opened, since the path may change between.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? rrMissing : rrFailed;
  if (!S_ISREG(st.st_mode)) return rrRefused;
  // Without O_NONBLOCK, opening a pipe waits for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? rrMissing : rrFailed;
  TReadResult result = rrRead;
  if (::fstat(fd, &st) != 0) {
    result = rrFailed;
  } else if (!S_ISREG(st.st_mode) || st.st_size < 0 ||
             static_cast<std::size_t>(st.st_size) > maxBytes) {
    result = rrRefused;
  } else {
    // The file may grow while it is read: never more than one byte past the
    // limit, which tells that it did.
    std::string data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
      const std::size_t room = std::min(sizeof buffer, maxBytes + 1 - data.size());
      const ssize_t n = ::read(fd, buffer, room);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        result = rrFailed;
        break;
      }
      if (n == 0) break;
      data.append(buffer, static_cast<std::size_t>(n));
      if (data.size() > maxBytes) {
        result = rrRefused;
        break;
      }
    }
    if (result == rrRead) out = std::move(data);
  }
  ::close(fd);
  return result;
}

#else

TReadResult ReadRegularFile(const std::string& path, std::string& out, std::size_t maxBytes) {
  namespace fs = std::filesystem;
  out.clear();
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) return rrMissing;
  if (!fs::is_regular_file(status)) return rrRefused;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec) return rrFailed;
  if (size > maxBytes) return rrRefused;
  std::ifstream in(path, std::ios::binary);
  if (!in) return rrFailed;
  std::string data(static_cast<std::size_t>(size), '\0');
  in.read(data.data(), static_cast<std::streamsize>(size));
  data.resize(static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return rrFailed;
  out = std::move(data);
  return rrRead;
}

#endif

bool IsPlainFileName(std::string_view name) {
  constexpr std::string_view kSeparators("/\\\0", 3);
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(kSeparators) == std::string_view::npos;
}
