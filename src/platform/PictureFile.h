// Reading a picture file whole and decoding it from memory; every error names the file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/Files.h"

template <class Decode>
void DecodePictureFile(const std::string& fileName, std::size_t maxBytes, Decode&& decode) {
  const auto bytes = files::ReadFileBytes(fileName, maxBytes);
  if (!bytes) throw std::runtime_error("ファイルを読み込めません: " + fileName);
  try {
    decode(bytes->data(), bytes->size());
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(std::string(e.what()) + " (" + fileName + ")");
  }
}
