// TForm1: the undo and redo history of the working image.
#include <QAction>
#include <QToolButton>

#include "ApUnit1.h"

void TForm1::UpdateUndoButtons() {
  CmdUnDo->setEnabled(History.CanUndo());
  CmdReDo->setEnabled(History.CanRedo());
}

void TForm1::ResetUndo() { History.Reset(); }

void TForm1::PushUndo(bool resetFrame) {
  const TRect whole{0, 0, WorkBitmap.Width(), WorkBitmap.Height()};
  History.Push(WorkBitmap, CutRect, CurrentFileName, resetFrame ? whole : CutRect, Info);
  if (resetFrame) CutRect = whole;
  CmdUnDo->setEnabled(true);
  CmdReDo->setEnabled(false);
}

void TForm1::CmdUnDoClick(QObject*) {
  const TUndoHistory::Slot* s = History.Undo(WorkBitmap);
  if (s) {
    CurrentFileName = s->FileName;
    CutRect = s->CutRect;
    Info = s->Info;
    ShowPicture(false);
  }
  UpdateUndoButtons();
}

void TForm1::CmdReDoClick(QObject*) {
  const TUndoHistory::Slot* s = History.Redo(WorkBitmap);
  if (!s) return;
  CurrentFileName = s->FileName;
  CutRect = s->CutRect;
  Info = s->Info;
  ShowPicture(false);
  UpdateUndoButtons();
}

void TForm1::Edit1Click(QObject*) {
  MenuUndo1->setEnabled(CmdUnDo->isEnabled());
  MenuRedo1->setEnabled(CmdReDo->isEnabled());
}

void TForm1::DeleteUndoFiles() { History.DeleteFiles(); }
