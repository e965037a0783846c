// Allocation of pixel buffers: 64-byte aligned, big ones on 2 MB boundaries with huge pages.
#pragma once
#include <cstddef>
#include <cstdint>

uint8_t* AllocatePixels(std::size_t bytes);  // throws std::bad_alloc
void FreePixels(uint8_t* p);
