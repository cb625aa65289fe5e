// Writing a file on the stick so that a failure never leaves it truncated:
// the new content goes to a temporary file beside it, which replaces the
// file in one step after a successful close.
#pragma once

#include <functional>
#include <string>

#include "platform.h"
#include "text_file.h"

namespace zt {

// Writes through write() into temp, then replaces target with it. Any
// failure removes temp and raises IoError; target then keeps its old
// content (or stays missing).
void ReplaceWithText(Platform& platform, const std::string& target, const std::string& temp,
                     const std::function<void(TextWriter&)>& write);

// True when path names an existing folder.
bool FolderExists(Platform& platform, const std::string& path);
// True when path names an existing file (a folder does not count).
bool FileExists(Platform& platform, const std::string& path);

}  // namespace zt
