// Windows path syntax, apart from any file system: resolving a path against
// a current directory, and the wildcard match of a directory search.
#pragma once

#include <string>
#include <vector>

namespace zt::posix_detail {

struct WindowsPath {
  char drive = 0;                  // upper-case letter
  std::vector<std::string> names;  // from the root down; empty for the root
};

// Resolves `path` against `current` (an absolute "X:\..." path): "\" and "/"
// both separate, runs of separators read as one, "." and ".." resolve (".."
// stops at the root), "X:" starts a path on drive X, a leading separator
// starts at the root of the current drive. False for an empty path or a
// drive that is not a letter.
bool ResolveWindowsPath(const std::string& path, const std::string& current, WindowsPath& out);

// "X:\" for the root, else "X:\A\B".
std::string FormatWindowsPath(const WindowsPath& path);

// Splits a search mask into its folder part (which may be empty) and the
// name pattern after the last separator or drive colon.
void SplitMask(const std::string& mask, std::string& folder, std::string& pattern);

// Case-insensitive match of a name against a pattern with "*" (any run of
// characters) and "?" (one character). "*.*" matches every name, also one
// without a dot, as a directory search does.
bool MatchWildcard(const std::string& pattern, const std::string& name);

// ASCII case-insensitive equality, as the file system compares names.
bool SameName(const std::string& a, const std::string& b);

}  // namespace zt::posix_detail
