// The thumbnail list: index refills, making thumbnails in timer slices, the sheet dump.
#include "PictureioThumbs.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "Pictureio.h"
#include "platform/BmpCodec.h"
#include "platform/Files.h"
#include "platform/Ui.h"

namespace {

constexpr int kSheetSide = 1024;
constexpr uint32_t kSliceMs = 100;
constexpr uint8_t kSilver = 192;

// The entry text up to and including its last separator, in lower case ("" for none).
std::string FolderKey(const std::string& entry) {
  const std::size_t slash = entry.rfind('/');
  return slash == std::string::npos ? std::string() : files::LowerCase(entry.substr(0, slash + 1));
}

// Sheet rows needed before a thumbnail of a list of n lines is made.
int64_t SheetHeightFor(std::size_t n) { return (int64_t(n) / kThumbCellsPerRow + 1) * kThumbSize; }

std::string SizeText(uint64_t w, uint64_t h, bool fromExif) {
  char text[64];
  std::snprintf(text, sizeof text, fromExif ? "%llu×%llu.." : "%llu×%llu", static_cast<unsigned long long>(w),
                static_cast<unsigned long long>(h));
  return text;
}

uint32_t PixelAt(const TBitmap& bmp, int x, int y) {
  uint32_t v;
  std::memcpy(&v, bmp.ScanLine(y) + std::ptrdiff_t(x) * 4, 4);
  return v;
}

void FillSilver(TBitmap& bmp, int x0, int y0, int x1, int y1) {
  for (int y = y0; y < y1; ++y) {
    uint8_t* p = bmp.ScanLine(y) + std::ptrdiff_t(x0) * 4;
    for (int x = x0; x < x1; ++x, p += 4) {
      p[kB] = p[kG] = p[kR] = kSilver;
      p[kX] = 0;
    }
  }
}

}  // namespace

void ClearUniformBorder(TBitmap& bmp) {
  bmp.SetPixelFormat(pf32bit);
  const int w = bmp.Width(), h = bmp.Height();
  if (w == 0 || h == 0) return;
  const uint32_t ref = PixelAt(bmp, 0, 0);
  const int steps = std::min(w, h) / 4;
  int n = 0;
  while (n < steps && PixelAt(bmp, n, n) == ref && PixelAt(bmp, w - 1 - n, n) == ref &&
         PixelAt(bmp, n, h - 1 - n) == ref && PixelAt(bmp, w - 1 - n, h - 1 - n) == ref)
    ++n;
  if (n == 0) return;
  const int band = n + 1;
  if (PixelAt(bmp, w / 2, 0) == ref) {
    FillSilver(bmp, 0, 0, w, band);
    FillSilver(bmp, 0, h - band, w, h);
  }
  if (PixelAt(bmp, 0, h / 2) == ref) {
    FillSilver(bmp, 0, 0, band, h);
    FillSilver(bmp, w - band, 0, w, h);
  }
}

TThumbList::TThumbList() { InitThumbs(); }

void TThumbList::InitThumbs() {
  index_.clear();
  cellUsed_.assign(1, 0);
  sheet_.SetSize(0, 0);
  sheet_.SetPixelFormat(pf32bit);
  sheet_.SetSize(kSheetSide, kSheetSide);
}

void TThumbList::SyncThumbIndex(const std::vector<std::string>& entries) {
  cellUsed_.assign(entries.size() + 1, 0);
  const bool sameFolder = !entries.empty() && !index_.empty() &&
                          FolderKey(entries.front()) == FolderKey(IndexLineEntry(index_.front()));
  std::vector<std::string> old;
  if (sameFolder) {
    old.swap(index_);
  } else {
    TBitmap fresh;
    fresh.SetPixelFormat(pf32bit);
    sheet_.Swap(fresh);
  }
  index_.clear();
  index_.reserve(entries.size());
  for (const std::string& e : entries) index_.push_back(FreshIndexLine(e));
  if (old.empty()) return;

  std::vector<std::string> oldEntries;
  oldEntries.reserve(old.size());
  for (const std::string& line : old) oldEntries.push_back(IndexLineEntry(line));
  const std::size_t m = old.size();
  for (std::size_t k = 0; k < entries.size(); ++k) {
    // File names on this system differ by case, so an entry matches only itself. Searching
    // from the old line before k finds a kept entry at once after one deletion or addition.
    const std::size_t start = (k + m - 1) % m;
    for (std::size_t s = 0; s < m; ++s) {
      const std::size_t j = (start + s) % m;
      if (oldEntries[j] != entries[k]) continue;
      index_[k] = old[j];
      const int cell = IndexLineCell(old[j]);
      if (cell >= 0 && std::size_t(cell) < cellUsed_.size()) cellUsed_[std::size_t(cell)] = 1;
      break;
    }
  }
}

int TThumbList::TakeCell() {
  const int n = int(index_.size());
  for (int c = 0; c < n; ++c) {
    if (!cellUsed_[std::size_t(c)]) {
      cellUsed_[std::size_t(c)] = 1;
      return c;
    }
  }
  return n - 1;
}

bool TThumbList::Make(int k, std::string& error) {
  std::string& line = index_[std::size_t(k)];
  int cell = IndexLineCell(line);
  if (cell < 0) cell = TakeCell();
  const std::string entry = IndexLineEntry(line);
  const std::string path = entry.empty() ? std::string() : entry.substr(1);
  PictureInfo info;
  std::string sizeText;
  if (entry.empty() || entry[0] != '#') {
    try {
      TBitmap work;
      if (PictureFormatOf(path) == PictureFormat::Jpeg) {
        info.Thumbnail = &work;
        try {
          ReadExifInfo(info, path);
          if (info.ThumbLengthEntry != 0) {
            sizeText = SizeText(info.ExifWidth, info.ExifHeight, true);
            ClearUniformBorder(work);
          }
        } catch (const std::exception&) {
          // A damaged EXIF thumbnail: the photo itself may still decode.
        }
      }
      if (sizeText.empty()) {
        info.Thumbnail = nullptr;
        LoadPicture(work, info, path);
        sizeText = SizeText(uint64_t(work.Width()), uint64_t(work.Height()), false);
      }
      info.Thumbnail = nullptr;
      work.SetPixelFormat(pf32bit);
      FitPictureInBox(sheet_, (cell % kThumbCellsPerRow) * kThumbSize, (cell / kThumbCellsPerRow) * kThumbSize,
                      kThumbSize, kThumbSize, work);
    } catch (const std::exception& e) {
      if (std::size_t(cell) < cellUsed_.size()) cellUsed_[std::size_t(cell)] = 0;
      line = ThumbIndexLine(kThumbFailed, "", kThumbReadError, "", entry);
      error = path + "\n" + e.what();
      return false;
    }
  }
  line = ThumbIndexLine(cell, info.ShotDate, sizeText, info.Model, entry);
  return true;
}

void TThumbList::MakeThumbnail(int k) {
  if (k < 0 || std::size_t(k) >= index_.size()) return;
  std::string error;
  if (!Make(k, error)) TheUi().MessageBox(mtError, mbOK, "サムネイルを作れません．\n" + error);
}

int TThumbList::MakeSomeThumbnails() {
  const uint32_t start = TheUi().TickCount();
  const bool forward = calls_++ % 2 == 0;
  const int64_t n = int64_t(index_.size());
  // Beyond this many entries the sheet would exceed the largest bitmap; the rows stay empty.
  if (n == 0 || SheetHeightFor(std::size_t(n)) * kSheetSide > TBitmap::kMaxPixels) return 0;
  const int64_t base = std::max(ThumbFocusIndex, 0);
  int made = 0;
  std::string rejected;
  for (int64_t s = 0; s < n; ++s) {
    const int64_t k = (((forward ? base + s : base - s) % n) + n) % n;
    if (IndexLineCell(index_[std::size_t(k)]) == kNoThumb) {
      if (sheet_.Height() < SheetHeightFor(std::size_t(n))) sheet_.SetHeight(int(SheetHeightFor(std::size_t(n))));
      std::string error;
      if (!Make(int(k), error)) rejected += "\n" + error;
      ++made;
    }
    if (uint32_t(TheUi().TickCount() - start) > kSliceMs) break;
  }
  if (!rejected.empty()) TheUi().MessageBox(mtError, mbOK, "サムネイルを作れません．" + rejected);
  return made;
}

void TThumbList::RefreshThumbOf(const std::string& fileName) {
  for (std::size_t k = 0; k < index_.size(); ++k) {
    const std::string entry = IndexLineEntry(index_[k]);
    if (entry.size() > 1 && entry.compare(1, std::string::npos, fileName) == 0) {
      MakeThumbnail(int(k));
      return;
    }
  }
}

std::string TThumbList::SaveThumbSheet(const std::string& programFolder, const std::string& dataFolder) {
  const std::vector<uint8_t> bytes = EncodeBmp(sheet_);
  std::string why;
  for (const std::string& folder : {programFolder, dataFolder}) {
    if (folder.empty()) continue;
    const std::string name = files::IncludeTrailingPathDelimiter(folder) + "@BmpList.bmp";
    std::string error;
    if (files::WriteFileAtomic(name, bytes.data(), bytes.size(), &error)) return name;
    why += "\n" + error;
  }
  TheUi().MessageBox(mtError, mbOK, "保存できません: @BmpList.bmp" + why);
  return {};
}
