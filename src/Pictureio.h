// Picture load and save: BMP, JPEG and GIF files to and from 32-bit bitmaps, the overwrite
// question, and the backup name of a deleted picture.
#pragma once
#include <string>

#include "Jpegexif.h"
#include "platform/Bitmap.h"

// The format an extension names (".BMP", ".JPG", ".JPEG", ".GIF" in any case); none otherwise.
enum class PictureFormat { None, Bmp, Jpeg, Gif };
PictureFormat PictureFormatOf(const std::string& fileName);

// Replaces bmp by the picture (32-bit; 0 x 0 when nothing was decoded) and fills info: EXIF
// fields of a JPEG (the thumbnail only when info.Thumbnail is set), then the shot date from a
// name like 20080926-112233.jpg, else from the file time of a writable file. A ".jpg" that does
// not start with FF D8 gives 0 x 0 silently; a file the codec rejects throws std::runtime_error.
void LoadPicture(TBitmap& bmp, PictureInfo& info, const std::string& fileName);

// Writes bmp in the format its extension names (JPEG with the program's EXIF block, GIF on the
// web palette, BMP as 24 bits) through a temporary file renamed over the target when complete,
// then sets the file time from info.ShotDate. bmp is not changed. Throws std::runtime_error when
// nothing could be written (the old file is then untouched) or the extension names no format.
void SavePicture(const TBitmap& bmp, const PictureInfo& info, const std::string& fileName);

// SavePicture after refusing a read-only target and asking before overwriting (through TheUi()).
void SavePictureConfirmed(const TBitmap& bmp, const PictureInfo& info, const std::string& fileName);

// Renames the picture to its lower-case name with ".b$$", ".j$$" or ".g$$" (after the first
// letter of its extension), replacing an older backup of that name. Failures are silent.
void MoveToBackup(const std::string& fileName);

// The shot-date text of a file time: the locale's short date, a blank and its long time,
// cut to 20 characters.
std::string FileTimeShotDate(const TDateTime& t);
