// Pixel buffers: page faults dominate fresh big buffers, so ask for transparent huge pages.
#include "platform/PixelMemory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace {
constexpr std::size_t kHugePage = std::size_t(2) << 20;
}

uint8_t* AllocatePixels(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  const std::size_t align = bytes >= kHugePage ? kHugePage : 64;
  const std::size_t rounded = (bytes + align - 1) / align * align;
  void* p = std::aligned_alloc(align, rounded);
  if (!p) throw std::bad_alloc();
  if (align == kHugePage) madvise(p, rounded, MADV_HUGEPAGE);
  return static_cast<uint8_t*>(p);
}

void FreePixels(uint8_t* p) { std::free(p); }
