#include "ApUnit1Reopen.h"

#include <vector>

#include "platform/Files.h"

void TReopenList::Add(const std::string& name) {
  const auto exists = Exists ? Exists : [](const std::string& n) { return files::FileExists(n); };
  std::vector<std::string> names;
  if (!name.empty() && exists(name)) names.push_back(name);
  for (auto& item : Items) {
    item.Visible = false;
    if (exists(item.Caption)) names.push_back(item.Caption);
  }
  if (names.empty()) {
    Items[0] = {"なし", true, false};
    return;
  }
  Items[0] = {names[0], true, true};
  std::size_t k = 1;
  for (std::size_t i = 1; i < names.size(); ++i) {
    if (names[i] == names[0]) continue;
    if (k > 9) break;
    Items[k++] = {names[i], true, true};
  }
  ClearVisible = true;
}

void TReopenList::Clear() {
  for (auto& item : Items) item = {"::", false, true};
  Items[0].Caption = "なし";
  Items[0].Visible = true;
  ClearVisible = false;
}
