#include "ApUnit1Undo.h"

#include <cstdio>
#include <stdexcept>

#include "platform/BmpCodec.h"
#include "platform/Files.h"

std::string TUndoHistory::UndoFileName(int slot) const {
  char buf[32];
  std::snprintf(buf, sizeof buf, "Undo%08X_%03d.$x$", runId_, slot);
  return folder_ + buf;
}

void TUndoHistory::Push(const TBitmap& bmp, const TRect& leavingFrame, const std::string& fileName,
                        const TRect& newFrame, const PictureInfo& info) {
  int base = base_, pos = pos_;
  if (top_ < kSlots) ++pos;
  else base = (base + 1) % kSlots;
  const int s = (base + pos) % kSlots;
  const std::vector<uint8_t> file = EncodeBmp(bmp);
  std::string error;
  // Scratch files of this run: private, and not worth a flush to disk.
  if (!files::WriteFileAtomic(UndoFileName(s), file.data(), file.size(), &error, 0600, false))
    throw std::runtime_error(error);
  slots_[SlotOf(pos_)].CutRect = leavingFrame;
  base_ = base;
  pos_ = top_ = pos;
  slots_[s] = {fileName, newFrame, info};
}

const TUndoHistory::Slot* TUndoHistory::Restore(int p, TBitmap& bmp) {
  const int s = SlotOf(p);
  bmp.LoadFromFile(UndoFileName(s));
  pos_ = p;
  return &slots_[s];
}

const TUndoHistory::Slot* TUndoHistory::Undo(TBitmap& bmp) { return CanUndo() ? Restore(pos_ - 1, bmp) : nullptr; }

const TUndoHistory::Slot* TUndoHistory::Redo(TBitmap& bmp) { return CanRedo() ? Restore(pos_ + 1, bmp) : nullptr; }

void TUndoHistory::DeleteFiles() const {
  char pattern[32];
  std::snprintf(pattern, sizeof pattern, "Undo%08X_*.$x$", runId_);
  for (const auto& f : files::FindFiles(folder_, pattern))
    if (!f.Directory && files::FileExists(folder_ + f.Name)) files::DeleteFile(folder_ + f.Name);
}
