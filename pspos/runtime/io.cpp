// The run-time's import of the kernel's I/O library. Kept apart from the
// start entry so that a module with a start entry of its own still links.
#include "../module.h"

extern "C" {
const std::uint32_t zt_runtime_io_nids[2] = {
    0x4C4C7BC7u,  // ioDirOpen
    0x98519851u,  // ioDirClose
};
void* zt_runtime_io[2] = {};
}
