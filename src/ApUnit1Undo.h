// The undo history: a ring of 51 states, each picture a 32-bit BMP file in the data folder
// named after the run, with the file name, frame and picture information kept in memory.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "Jpegexif.h"
#include "platform/Bitmap.h"

class TUndoHistory {
 public:
  static constexpr int kSlots = 51;
  struct Slot {
    std::string FileName;
    TRect CutRect;
    PictureInfo Info;
  };

  TUndoHistory() = default;
  TUndoHistory(std::string dataFolder, uint32_t runId) : folder_(std::move(dataFolder)), runId_(runId) {}

  std::string UndoFileName(int slot) const;  // "Undo%08X_%03d.$x$" in the data folder

  void Reset() { base_ = pos_ = top_ = 0; }
  // Records bmp as the newest state: the state being left keeps leavingFrame, the new one
  // gets (fileName, newFrame, info). A failed write throws and changes nothing.
  void Push(const TBitmap& bmp, const TRect& leavingFrame, const std::string& fileName, const TRect& newFrame,
            const PictureInfo& info);
  // Steps back or forward, loading the picture into bmp; nullptr when there is no such step.
  // A failed read throws and changes nothing.
  const Slot* Undo(TBitmap& bmp);
  const Slot* Redo(TBitmap& bmp);
  bool CanUndo() const { return pos_ > 1; }
  bool CanRedo() const { return pos_ < top_; }

  // Deletes this run's slot files (only these).
  void DeleteFiles() const;

  int Base() const { return base_; }
  int Pos() const { return pos_; }
  int Top() const { return top_; }

 private:
  int SlotOf(int p) const { return (base_ + p) % kSlots; }
  const Slot* Restore(int p, TBitmap& bmp);

  std::string folder_;
  uint32_t runId_ = 0;
  int base_ = 0, pos_ = 0, top_ = 0;
  std::array<Slot, kSlots> slots_{};
};
