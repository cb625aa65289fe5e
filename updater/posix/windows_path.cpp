#include "windows_path.h"

#include <cctype>

namespace zt::posix_detail {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' &&
         std::isalpha(static_cast<unsigned char>(path[0]));
}

// Appends the names of `text` to `names`, resolving "." and "..".
void AppendNames(const std::string& text, std::vector<std::string>& names) {
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsSeparator(text[i])) ++i;
    std::size_t start = i;
    while (i < text.size() && !IsSeparator(text[i])) ++i;
    std::string name = text.substr(start, i - start);
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    names.push_back(std::move(name));
  }
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

bool ResolveWindowsPath(const std::string& path, const std::string& current, WindowsPath& out) {
  out = WindowsPath{};
  if (path.empty()) return false;
  WindowsPath base;
  if (HasDrive(current)) {
    base.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(current[0])));
    AppendNames(current.substr(2), base.names);
  }
  std::string rest = path;
  if (HasDrive(path)) {
    char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    rest = path.substr(2);
    if (drive != base.drive) {
      // Another drive's own current directory is its root here.
      base.drive = drive;
      base.names.clear();
    }
  } else if (path.size() >= 2 && path[1] == ':') {
    return false;
  }
  if (base.drive == 0) return false;
  out.drive = base.drive;
  if (!rest.empty() && IsSeparator(rest[0])) {
    AppendNames(rest, out.names);
  } else {
    out.names = base.names;
    AppendNames(rest, out.names);
  }
  return true;
}

std::string FormatWindowsPath(const WindowsPath& path) {
  std::string text{path.drive, ':'};
  if (path.names.empty()) return text + '\\';
  for (const std::string& name : path.names) text += '\\' + name;
  return text;
}

void SplitMask(const std::string& mask, std::string& folder, std::string& pattern) {
  std::size_t cut = mask.find_last_of("\\/");
  if (cut == std::string::npos && HasDrive(mask)) cut = 1;
  if (cut == std::string::npos) {
    folder.clear();
    pattern = mask;
    return;
  }
  folder = mask.substr(0, cut + 1);
  pattern = mask.substr(cut + 1);
}

bool MatchWildcard(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*") return true;
  // Greedy match with one backtrack point for the last "*".
  std::size_t p = 0, n = 0, star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

}  // namespace zt::posix_detail
