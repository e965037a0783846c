#include "platform/Ui.h"

#include <stdexcept>

namespace {
Ui* installed = nullptr;
}

Ui& TheUi() {
  if (!installed) throw std::logic_error("no Ui service installed");
  return *installed;
}

void SetUi(Ui* ui) { installed = ui; }
