// LoadPicture, SavePicture, SavePictureConfirmed and MoveToBackup.
#include <QDateTime>
#include <QLocale>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "Pictureio.h"
#include "platform/BmpCodec.h"
#include "platform/Files.h"
#include "platform/GifImage.h"
#include "platform/JpegImage.h"
#include "platform/Ui.h"

namespace {

void ClearKeepingThumbnail(PictureInfo& info) {
  TBitmap* thumbnail = info.Thumbnail;
  info = PictureInfo{};
  info.Thumbnail = thumbnail;
}

void SetText(char (&field)[32], const std::string& text) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text.data(), std::min(text.size(), sizeof field - 1));
}

bool StartsWithJpegMarker(const std::string& fileName) {
  std::FILE* f = std::fopen(fileName.c_str(), "rb");
  if (!f) return false;
  uint8_t head[2] = {};
  const bool ok = std::fread(head, 1, 2, f) == 2 && head[0] == 0xFF && head[1] == 0xD8;
  std::fclose(f);
  return ok;
}

// The leading digits of name[pos, pos + width), 0 when the field is empty or starts otherwise.
int Field(const std::string& name, std::size_t pos, std::size_t width) {
  int v = 0;
  for (std::size_t i = pos; i < name.size() && i < pos + width && std::isdigit(static_cast<unsigned char>(name[i])); ++i)
    v = v * 10 + (name[i] - '0');
  return v;
}

// "2008/09/26 11:22:33" for names like 20080926-112233.jpg or 20080926-112233b.jpg.
std::string ShotDateFromName(const std::string& name) {
  const int year = Field(name, 0, 4), month = Field(name, 4, 2), day = Field(name, 6, 2);
  const int hour = Field(name, 9, 2), minute = Field(name, 11, 2), second = Field(name, 13, 2);
  if (year < 1980 || year > 2099 || month < 1 || month > 12 || day < 1 || day > 31) return {};
  if (name.size() < 9 || name[8] != '-' || hour > 23 || minute > 59 || second > 59) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%4d/%02d/%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
  return text;
}

[[noreturn]] void CannotSave(const std::string& why) { throw std::runtime_error("保存できません: " + why); }

}  // namespace

PictureFormat PictureFormatOf(const std::string& fileName) {
  const std::string ext = files::UpperCase(files::ExtractFileExt(fileName));
  if (ext == ".JPG" || ext == ".JPEG") return PictureFormat::Jpeg;
  if (ext == ".GIF") return PictureFormat::Gif;
  if (ext == ".BMP") return PictureFormat::Bmp;
  return PictureFormat::None;
}

std::string FileTimeShotDate(const TDateTime& t) {
  const QLocale locale = QLocale::system();
  const QDateTime when(QDate(t.Year, t.Month, t.Day), QTime(t.Hour, t.Minute, t.Second));
  QString text = locale.toString(when, locale.dateFormat(QLocale::ShortFormat)) + QLatin1Char(' ') +
                 locale.toString(when, locale.timeFormat(QLocale::LongFormat));
  text.truncate(20);
  // The record holds 31 bytes: drop characters that would not fit in UTF-8.
  while (text.toUtf8().size() > 31) text.chop(1);
  return text.toStdString();
}

void LoadPicture(TBitmap& bmp, PictureInfo& info, const std::string& fileName) {
  ClearKeepingThumbnail(info);
  bmp.SetSize(0, 0);
  bmp.SetPixelFormat(pf32bit);
  switch (PictureFormatOf(fileName)) {
    case PictureFormat::Jpeg:
      if (StartsWithJpegMarker(fileName)) {
        TJPEGImage jpeg;
        jpeg.LoadFromFile(fileName);
        jpeg.AssignTo(bmp, pf32bit);
        ReadExifInfo(info, fileName);
      }
      break;
    case PictureFormat::Gif: {
      TGIFImage gif;
      gif.LoadFromFile(fileName);
      gif.AssignTo(bmp, pf32bit);
      break;
    }
    case PictureFormat::Bmp:
      bmp.LoadFromFile(fileName);
      break;
    case PictureFormat::None:
      break;
  }
  if (info.ShotDate[0] == 0) SetText(info.ShotDate, ShotDateFromName(files::ExtractFileName(fileName)));
  if (info.ShotDate[0] == 0 && files::FileExists(fileName) && !files::IsReadOnly(fileName)) {
    if (const auto t = files::GetFileTime(fileName)) SetText(info.ShotDate, FileTimeShotDate(*t));
  }
  bmp.SetPixelFormat(pf32bit);
}

void SavePicture(const TBitmap& bmp, const PictureInfo& info, const std::string& fileName) {
  std::string error;
  switch (PictureFormatOf(fileName)) {
    case PictureFormat::Jpeg:
      // The encoder reads 24- and 32-bit rows alike, so no 24-bit copy is needed.
      if (!WriteJpegWithExif(bmp, info, fileName, &error)) CannotSave(error);
      return;
    case PictureFormat::Gif: {
      TGIFImage gif;
      gif.Assign(bmp);
      gif.SaveToFile(fileName);
      break;
    }
    case PictureFormat::Bmp: {
      TBitmap copy;
      copy.Assign(bmp);
      copy.SetPixelFormat(pf24bit);
      const std::vector<uint8_t> bytes = EncodeBmp(copy);
      if (!files::WriteFileAtomic(fileName, bytes.data(), bytes.size(), &error)) CannotSave(error);
      break;
    }
    case PictureFormat::None:
      // Writing nothing and saying nothing would let the user believe the picture was saved.
      CannotSave(fileName + " (BMP, JPEG, GIF のファイル名にしてください)");
  }
  SetFileTimeByShotDate(fileName, info.ShotDate);
}

void SavePictureConfirmed(const TBitmap& bmp, const PictureInfo& info, const std::string& fileName) {
  if (files::FileExists(fileName)) {
    if (files::IsReadOnly(fileName)) {
      TheUi().Beep();
      TheUi().MessageBox(mtError, mbAbort, "  " + fileName + " は読み出し専用ファイルです．");
      return;
    }
    if (TheUi().MessageBox(mtConfirmation, mbOKCancel, "ﾌｧｲﾙ[ " + fileName + " ]に上書き保存します｡") == mrCancel) return;
  }
  SavePicture(bmp, info, fileName);
}

void MoveToBackup(const std::string& fileName) {
  if (!files::FileExists(fileName)) return;  // nothing to back up: keep the older backup
  const std::string ext = files::LowerCase(files::ExtractFileExt(fileName));
  std::string backupExt;
  if (ext.rfind(".b", 0) == 0)
    backupExt = ".b$$";
  else if (ext.rfind(".j", 0) == 0)
    backupExt = ".j$$";
  else if (ext.rfind(".g", 0) == 0)
    backupExt = ".g$$";
  const std::string backup =
      files::ExtractFilePath(fileName) + files::LowerCase(files::ChangeFileExt(files::ExtractFileName(fileName), backupExt));
  if (backupExt.empty() || backup == fileName) {
    // Without a backup extension the picture is deleted outright, never another file.
    files::DeleteFile(fileName);
    return;
  }
  // rename replaces an older backup in one step, so a failure loses neither file.
  std::rename(fileName.c_str(), backup.c_str());
}
