#include "platform/widgets/Guard.h"

#include "platform/Ui.h"

void ShowException(const std::exception& e) {
  try {
    TheUi().MessageBox(mtError, mbOK, e.what());
  } catch (...) {
  }
}
