// PictureInfo and the JPEG EXIF reader and writer with the shot-date services.
#pragma once
#include <cstdint>

class TBitmap;

// The metadata that travels with a picture. Texts are NUL-terminated, at most 20 characters.
struct PictureInfo {
  uint32_t ExifWidth = 0, ExifHeight = 0;
  char ShotDate[32] = {};
  char Model[32] = {};
  uint32_t ThumbOffsetEntry = 0, ThumbLengthEntry = 0;
  TBitmap* Thumbnail = nullptr;  // not owned; receives the EXIF thumbnail when set
};
