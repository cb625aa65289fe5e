// Memory and string helpers for freestanding modules: the compiler emits
// calls to these for aggregate copies even where the source has none.
#include "runtime.h"

extern "C" {

void* memcpy(void* dst, const void* src, std::size_t n) noexcept {
  auto* d = static_cast<unsigned char*>(dst);
  const auto* s = static_cast<const unsigned char*>(src);
  for (std::size_t i = 0; i < n; ++i) d[i] = s[i];
  return dst;
}

void* memmove(void* dst, const void* src, std::size_t n) noexcept {
  auto* d = static_cast<unsigned char*>(dst);
  const auto* s = static_cast<const unsigned char*>(src);
  if (d < s) {
    for (std::size_t i = 0; i < n; ++i) d[i] = s[i];
  } else {
    for (std::size_t i = n; i > 0; --i) d[i - 1] = s[i - 1];
  }
  return dst;
}

void* memset(void* dst, int value, std::size_t n) noexcept {
  auto* d = static_cast<unsigned char*>(dst);
  for (std::size_t i = 0; i < n; ++i) d[i] = static_cast<unsigned char>(value);
  return dst;
}

int memcmp(const void* a, const void* b, std::size_t n) noexcept {
  const auto* x = static_cast<const unsigned char*>(a);
  const auto* y = static_cast<const unsigned char*>(b);
  for (std::size_t i = 0; i < n; ++i) {
    if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
  }
  return 0;
}

std::size_t strlen(const char* s) noexcept {
  std::size_t n = 0;
  while (s[n] != '\0') ++n;
  return n;
}

int strcmp(const char* a, const char* b) noexcept {
  while (*a != '\0' && *a == *b) {
    ++a;
    ++b;
  }
  return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}
}
