// The module run-time: the start entry every module uses, its per-module
// working directory, and the memory helpers that freestanding code needs.
// Each module links its own copy, so each keeps its own working directory.
#pragma once

#include <cstddef>
#include <cstdint>

// Longest working directory the run-time keeps, NUL included.
#define ZT_RUNTIME_PATH_SIZE 1024
// Most strings the start entry takes from the argument block.
#define ZT_RUNTIME_MAX_ARGS 19

extern "C" {

// Written by each module: runs once from the start entry, with the strings
// of the argument block. Its result is ignored; the module stays resident.
int zt_module_main(int argc, char** argv);

// The start entry: splits the argument block, takes the folder of the first
// string as the working directory, runs zt_module_main and returns 0.
int zt_runtime_start(std::uint32_t argSize, void* argBlock);

// The module's working directory: normalised, no "/" at the end, empty until
// a start argument named a folder that opens.
const char* zt_runtime_cwd(void);

// Writes the normalised folder of `path` (everything before its last "/") to
// `out`. A device prefix such as "ms0:" stays in front, empty names and "."
// go, ".." removes the name before it, and no "/" is left at the end. Returns
// false when `path` holds no "/" or the result does not fit `size` bytes.
bool zt_runtime_folder_of(const char* path, char* out, std::size_t size);

// NID/value array of the system library whose start entry is the run-time's.
extern const std::uintptr_t zt_runtime_system_words[2];

// The run-time's import of the kernel's I/O library: slot 0 opens a folder
// (descriptor >= 0 or a negative error), slot 1 closes it.
extern const std::uint32_t zt_runtime_io_nids[2];
extern void* zt_runtime_io[2];
}

// Modules link no C library, so the run-time defines the few memory and
// string functions they use (and the compiler emits for aggregate copies).
// Declared here with the C library's signatures, so that host code which
// also sees <cstring> agrees with them.
extern "C" {
void* memcpy(void* dst, const void* src, std::size_t n) noexcept;
void* memmove(void* dst, const void* src, std::size_t n) noexcept;
void* memset(void* dst, int value, std::size_t n) noexcept;
int memcmp(const void* a, const void* b, std::size_t n) noexcept;
std::size_t strlen(const char* s) noexcept;
int strcmp(const char* a, const char* b) noexcept;
}

#define ZT_RUNTIME_SYSTEM_LIBRARY ZT_SYSTEM_LIBRARY(zt_runtime_system_words)
#define ZT_RUNTIME_IMPORTS ZT_IMPORT_ENTRY("IoForUser", 0, 0x0009, zt_runtime_io)
