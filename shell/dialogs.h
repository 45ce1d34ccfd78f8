// TTRVDialogs: the one owner of every dialog. The dialogs are made in the order of the table
// in dialogs.cpp (the order their texts are applied in) and freed in the reverse order; the
// screen flow reaches each by its class. A new dialog is its class and one row of that table.
#pragma once

#include <memory>
#include <stdexcept>
#include <typeinfo>
#include <vector>

#include "ui/dialog.h"

namespace platform {
class FontCache;
}

class TTRVDialogs {
 public:
  explicit TTRVDialogs(platform::FontCache& fonts);
  ~TTRVDialogs();
  TTRVDialogs(const TTRVDialogs&) = delete;
  TTRVDialogs& operator=(const TTRVDialogs&) = delete;

  // The dialog of class D; a class without a row is a programming error and throws.
  template <class D>
  D& Get() const {
    for (ui::TDialogForm* dialog : all_)
      if (typeid(*dialog) == typeid(D)) return static_cast<D&>(*dialog);
    throw std::logic_error(std::string("no dialog of class ") + typeid(D).name());
  }
  // Every dialog, in the order they were made.
  const std::vector<ui::TDialogForm*>& All() const { return all_; }

 private:
  std::vector<std::unique_ptr<ui::TDialogForm>> owned_;
  std::vector<ui::TDialogForm*> all_;
};
