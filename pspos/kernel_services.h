// Internal to the kernel: device paths, the folder descriptors, and the
// built-in kernel module's record.
#pragma once

#include <string>

#include "module.h"

namespace pspos {

// `path` with a mapped device prefix replaced by its host folder.
std::string hostPath(const char* path);

// Forgets device mappings and closes open folder descriptors.
void resetServices();

// The module information of the built-in "kernel" module.
const ModuleInfo& kernelModuleInfo();

}  // namespace pspos
