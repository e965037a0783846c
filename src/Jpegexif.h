// PictureInfo and the JPEG EXIF reader and writer with the shot-date services.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/DateTime.h"

class TBitmap;

// The metadata that travels with a picture. Texts are NUL-terminated, at most 20 characters.
struct PictureInfo {
  uint32_t ExifWidth = 0, ExifHeight = 0;
  char ShotDate[32] = {};
  char Model[32] = {};
  uint32_t ThumbOffsetEntry = 0, ThumbLengthEntry = 0;
  TBitmap* Thumbnail = nullptr;  // not owned; receives the EXIF thumbnail when set
};

// --- Reading. Only an APP1 "Exif" segment right after the start-of-image marker counts. ---

// Size L + 4 of the EXIF block that the bytes begin with (FF D8 FF E1, length L not 0, "Exif"),
// or 0 when they do not begin with one. Needs the first 16 bytes of the file.
std::size_t ExifBlockSize(const uint8_t* head, std::size_t n);
// File bytes 0 to L + 3; empty when the file has no such block or cannot be read.
std::vector<uint8_t> ReadExifBlock(const std::string& fileName);
// TIFF offset of the first IFD entry with this tag, 0 when there is none. Searches IFD0's
// entries with the Exif IFD in place of its pointer entry, then IFD1 and the further IFDs.
// Every read stays inside the block; an IFD met twice or too long a chain ends the search.
uint32_t FindExifEntry(const uint8_t* block, std::size_t size, uint16_t tag);

// Clears the record except Thumbnail and fills it from the file's EXIF block. With Thumbnail
// set, the thumbnail is decoded into it (32-bit; 0 x 0 when the block has none). A thumbnail
// that is not a JPEG the codec accepts, lies outside the block or claims more than a megapixel
// throws std::runtime_error after the other fields are filled.
void ReadExifInfo(PictureInfo& info, const std::string& fileName);
// The same for a file's leading bytes held in memory.
void ReadExifInfoFromBytes(PictureInfo& info, const uint8_t* data, std::size_t size);

// --- Writing. ---

// The program's own APP1 segment, offsets from its marker; the segment length, the three
// 20-byte texts, width, height and the thumbnail length are filled for each file.
inline constexpr std::size_t kExifHeaderSize = 192;
extern const uint8_t ExifHeaderTemplate[kExifHeaderSize];
// The segment length is 16-bit: N + 190 <= 65535.
inline constexpr std::size_t kMaxExifThumbnailBytes = 65345;

// The Model text written for a record's Model: "*" + model, "*Kestrelframe" for an empty or
// blank model, a model that begins with "*" as it is; at most 19 characters.
std::string ExifModelMark(const char* model);
// The first 19 characters of a shot date with characters 5 and 8 (1-based) made ":".
std::string ExifDateText(const char* shotDate);
// The thumbnail as a JPEG of at most limit bytes: quality 90, lower qualities, then smaller.
std::vector<uint8_t> EncodeExifThumbnail(const TBitmap& thumbnail, std::size_t limit = kMaxExifThumbnailBytes);

// Writes bmp (24- or 32-bit) as a quality-90 JPEG carrying the program's EXIF block with a
// 160 x 120 (or 120 x 160) thumbnail, through a temporary file renamed over fileName when
// complete. False (and the reason in *error) when the file cannot be written; an existing file
// is then untouched. Then sets the file time from the shot date, which may throw
// std::runtime_error for an impossible date. An encoder failure throws before any file is touched.
bool WriteJpegWithExif(const TBitmap& bmp, const PictureInfo& info, const std::string& fileName,
                       std::string* error = nullptr);

// --- Shot-date services and the box fit. ---

// YYYY:MM:DD HH:MM:SS (any separators) to a date-time, fields clamped; an impossible
// calendar date (February 30) throws std::runtime_error.
TDateTime ShotDateToDateTime(const std::string& text);
// For a 19-character text with ":" or "/" at characters 5 and 8: sets the file's last-write
// time (even seconds, years 1980 to 2107). A read-only or missing file is left alone.
void SetFileTimeByShotDate(const std::string& fileName, const std::string& text);
// Renames the file to folder + digits of the text (blanks as "-") + "" or "a" ... "z" + its
// lower-case extension, never over an existing file. The new full name, or "" when no name was free.
std::string RenameToShotDate(const std::string& fileName, const std::string& text);

// Draws src centred into the box (x, y, w, h) of dest on silver, aspect kept: box-averaged when
// reducing, repeated pixels when not. dest becomes 32-bit and grows when the box reaches past
// it (its height by y + 1024). src, 24- or 32-bit, is not changed.
void FitPictureInBox(TBitmap& dest, int x, int y, int w, int h, const TBitmap& src);
