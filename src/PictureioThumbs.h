// The folder list's thumbnails: one index line per list entry, the sheet of 64 x 64 cells the
// thumbnails are drawn on, the timer slices that fill it, and the drawing of one list row.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

// --- Index lines. Texts are UTF-8; positions and widths count the bytes the text takes in
// Shift-JIS ("×" two, half-width katakana one), 1-based, as the list has always laid them out:
// 1-5 cell, 6-10 "0", 11-30 shot date, 31-50 size text, 51-70 model, 71 "#" or "@", 72 on path.

inline constexpr int kThumbSize = 64;        // a cell is 64 x 64
inline constexpr int kThumbCellsPerRow = 16;
inline constexpr int kNoThumb = -1;          // cell of a line whose thumbnail is not made yet
inline constexpr int kThumbFailed = -2;      // cell of a line whose file the codec rejected
// Size text of a rejected file.
inline constexpr const char* kThumbReadError = "読込エラー";

// Bytes of the text in Shift-JIS; a character Shift-JIS lacks counts as its two-byte substitute.
int SjisWidth(const std::string& text);
// The characters that start at positions first ... first + width - 1 (all from first on when
// width is negative). Beyond the end: "".
std::string SjisPart(const std::string& line, int first, int width = -1);

// "%5d%5d%60s%s" of (-1, 0, "", entry).
std::string FreshIndexLine(const std::string& entry);
// "%5d%5d%-20s%-20s%-20s%s" of (cell, 0, shot date, size text, model, entry). A text longer than
// its 20 bytes is cut at a character boundary so that the entry stays at position 71.
std::string ThumbIndexLine(int cell, const std::string& shotDate, const std::string& sizeText,
                           const std::string& model, const std::string& entry);
int IndexLineCell(const std::string& line);
std::string IndexLineEntry(const std::string& line);  // position 71 on: kind character + path

// --- Pixels.

// Paints silver over the uniform bands an EXIF thumbnail carries around a picture of another
// aspect: bands as wide as the run of reference-coloured diagonal steps from the corners, plus one.
void ClearUniformBorder(TBitmap& bmp);
// The 64 x 64 picture of the list's folder rows (32-bit).
void DrawFolderPicture(TBitmap& bmp);

// --- The list.

struct TOwnerDrawState {
  bool Selected = false;
};

// The three texts of a row: the file name; for pictures the upper-cased extension with the size
// ("+ｻﾑﾈｲﾙ" for an EXIF thumbnail), and the shot date followed by the model (empty for folders).
struct TThumbItemText {
  std::string Name, Kind, Info;
};
TThumbItemText ThumbItemText(const std::string& indexLine);

// The index, the sheet and the cells in use for the one file list of the main window. Works
// without a window: the list hands over its entries, its focus row and a canvas per row.
class TThumbList {
 public:
  TThumbList();  // as after InitThumbs

  // An empty index and a 32-bit sheet of 1024 x 1024.
  void InitThumbs();
  // Rebuilds the index for the list's new entries ("#" folder or "@" picture + full path). A
  // refill of the same folder keeps the thumbnails of the entries that are still listed; the
  // caller shows the hour glass around it.
  void SyncThumbIndex(const std::vector<std::string>& entries);
  // Makes the thumbnail of line k into its cell (a new cell when it has none) and rewrites the
  // line. A file the codec rejects gets kThumbFailed and kThumbReadError, and a message.
  void MakeThumbnail(int k);
  // Makes missing thumbnails around ThumbFocusIndex, alternating forward and backward per call,
  // until more than 100 ms (TheUi().TickCount()) have passed. Returns how many lines it
  // rewrote (rejected files included), so the caller repaints when it is not 0. Rejected files
  // of the slice are reported in one message once the slice is done (the index is consistent
  // again, so the timer may run further slices while the message is shown); later slices never
  // try them again. A list too long for the largest sheet bitmap (about 65500 entries) gets none.
  int MakeSomeThumbnails();
  // Remakes the thumbnail of the listed file of that full name, in its own cell.
  void RefreshThumbOf(const std::string& fileName);
  // Draws row k into rect: fill with the canvas's brush, the folder picture or the framed cell,
  // and the texts. Nothing for a k outside the index. The canvas's pen, brush and font are kept.
  void DrawThumbItem(TCanvas& canvas, int k, const TRect& rect, TOwnerDrawState state,
                     const TBitmap& folderPicture);
  // Writes the sheet as "@BmpList.bmp" into programFolder, or into dataFolder when that fails.
  // Returns the file written; "" after reporting that neither could be written.
  std::string SaveThumbSheet(const std::string& programFolder, const std::string& dataFolder);

  int ThumbFocusIndex = 0;  // list row the next slice starts from

  const std::vector<std::string>& ThumbIndex() const { return index_; }
  const TBitmap& ThumbSheet() const { return sheet_; }
  const std::vector<uint8_t>& CellUsed() const { return cellUsed_; }

 private:
  int TakeCell();
  // Makes line k; false with the reason in error when the codec rejected the file.
  bool Make(int k, std::string& error);

  std::vector<std::string> index_;
  TBitmap sheet_;
  std::vector<uint8_t> cellUsed_;
  unsigned calls_ = 0;  // MakeSomeThumbnails calls; the parity picks the direction
};
