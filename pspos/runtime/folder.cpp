// Normalising the folder of a module's path. Pure string work, also built
// into the native tests.
#include "runtime.h"

namespace {

bool isDeviceChar(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// Output with a fixed capacity that remembers whether anything overflowed.
struct Out {
  char* buf;
  std::size_t size;
  std::size_t pos = 0;
  bool full = false;

  void put(const char* s, std::size_t n) {
    if (pos + n + 1 > size) {
      full = true;
      return;
    }
    for (std::size_t i = 0; i < n; ++i) buf[pos + i] = s[i];
    pos += n;
  }
};

bool isDotDot(const char* s, std::size_t n) { return n == 2 && s[0] == '.' && s[1] == '.'; }

}  // namespace

extern "C" bool zt_runtime_folder_of(const char* path, char* out, std::size_t size) {
  if (path == nullptr || out == nullptr || size == 0) return false;
  std::size_t last = 0;
  bool slash = false;
  for (std::size_t i = 0; path[i] != '\0'; ++i) {
    if (path[i] == '/') {
      last = i;
      slash = true;
    }
  }
  if (!slash) return false;

  std::size_t dev = 0;
  while (dev < last && isDeviceChar(path[dev])) ++dev;
  dev = (dev > 0 && dev < last && path[dev] == ':') ? dev + 1 : 0;

  Out o{out, size};
  o.put(path, dev);
  const bool absolute = path[dev] == '/';
  if (absolute) o.put("/", 1);
  const std::size_t base = o.pos;

  std::size_t i = dev;
  while (i < last && !o.full) {
    while (i < last && path[i] == '/') ++i;
    std::size_t end = i;
    while (end < last && path[end] != '/') ++end;
    const char* name = path + i;
    const std::size_t n = end - i;
    i = end;
    if (n == 0 || (n == 1 && name[0] == '.')) continue;
    if (isDotDot(name, n)) {
      // Drop the name before, unless there is none or it is itself "..".
      std::size_t start = o.pos;
      while (start > base && out[start - 1] != '/') --start;
      if (o.pos > base && !isDotDot(out + start, o.pos - start)) {
        o.pos = start > base ? start - 1 : base;
        continue;
      }
      if (absolute) continue;  // nothing above the root
    }
    if (o.pos > base) o.put("/", 1);
    o.put(name, n);
  }
  if (o.full) return false;
  if (absolute && o.pos == base) --o.pos;  // the root keeps no "/"
  out[o.pos] = '\0';
  return true;
}
