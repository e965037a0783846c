// The reopen list: ten remembered picture names with their menu visibility. No widgets.
#pragma once
#include <array>
#include <functional>
#include <string>

struct TReopenItem {
  std::string Caption;
  bool Visible = false;
  bool Enabled = true;
};

class TReopenList {
 public:
  std::array<TReopenItem, 10> Items;
  bool ClearVisible = false;  // the "(履歴のクリア)" item

  // Rebuilds the list with name at its head; only names of existing files stay visible.
  void Add(const std::string& name);
  // Forgets every entry.
  void Clear();

  std::function<bool(const std::string&)> Exists;  // defaults to files::FileExists
};
