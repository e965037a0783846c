#include "platform/widgets/Printer.h"

#include <stdexcept>

TPrintJob::TPrintJob(QPrinter& printer) : printer_(printer), canvas_(*this) {
  if (!painter_.begin(&printer_)) throw std::runtime_error("印刷を開始できません。");
}

TPrintJob::~TPrintJob() { painter_.end(); }

int TPrintJob::PageWidth() const { return int(printer_.pageRect(QPrinter::DevicePixel).width()); }

int TPrintJob::PageHeight() const { return int(printer_.pageRect(QPrinter::DevicePixel).height()); }
