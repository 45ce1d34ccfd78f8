// The one list dialog of saves, worlds and campaigns: its six modes, the entries and their
// deletion marks, the highlighted entry and the ten rows with their scrolling. The list's
// rules live in TSelectionList, which needs no window; what Select, Delete and Cancel do is
// the main window's.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config/textids.h"
#include "ui/dialog.h"

namespace ui {

enum class TSelectionMode { LoadGame, LoadGameFromGame, SaveGame, SaveCamp, LoadWorldSkirmish, NewCamp };

struct TSelectionEntry {
  std::string name;
  bool deletable = true;  // false: listed in grey, never deleted from here
  bool operator==(const TSelectionEntry&) const = default;
};

// The entries a mode lists from the names of its folder (sorted by the caller): for loading
// every save, the automatic one not deletable; for saving every save but the game's own;
// worlds without the campaigns' unless `includeCampaignWorlds`, and those not deletable.
std::vector<TSelectionEntry> SelectionEntries(TSelectionMode mode, const std::vector<std::string>& names,
                                              bool includeCampaignWorlds);

class TSelectionList {
 public:
  static constexpr int kRows = 10;
  // The highlighted index of the save modes' first row, "Create new".
  static constexpr int kCreateNew = 1000000;
  // Nothing highlighted: an empty list to load from.
  static constexpr int kNone = -1;

  // A new list: its first entry highlighted ("Create new" in the save modes), at the top.
  void Open(TSelectionMode mode, std::vector<TSelectionEntry> entries);
  // The same mode's list read again (after a deletion, or the campaign-worlds switch): the
  // highlight and the scroll stay where they were as far as the shorter list allows.
  void Rebuild(std::vector<TSelectionEntry> entries);

  TSelectionMode Mode() const { return mode_; }
  bool SaveMode() const { return mode_ == TSelectionMode::SaveGame || mode_ == TSelectionMode::SaveCamp; }
  bool LoadMode() const { return mode_ == TSelectionMode::LoadGame || mode_ == TSelectionMode::LoadGameFromGame; }
  int Count() const { return static_cast<int>(entries_.size()); }
  const std::vector<TSelectionEntry>& Entries() const { return entries_; }
  int Selected() const { return selected_; }
  int FirstVisible() const { return first_; }
  // The highlighted entry, or null ("Create new", or nothing).
  const TSelectionEntry* SelectedEntry() const;

  // What row `row` (0 .. 9) shows: an entry's index, kCreateNew, or kNone for a blank row.
  int RowEntry(int row) const;
  // A click on a row highlights what it shows; false when that changed nothing.
  bool ClickRow(int row);

  bool CanScrollUp() const { return first_ > 0; }
  bool CanScrollDown() const;
  // Each moves the first visible entry and the highlight together, and says whether
  // anything moved. The highlight never leaves the list.
  bool ScrollUp();
  bool ScrollDown();
  bool FastUp();
  bool FastDown();

  // Delete only for a highlighted entry marked deletable (a campaign's comes with campaigns).
  bool DeleteOffered() const;
  // Select acts on something: an entry, or "Create new".
  bool SelectOffered() const;

 private:
  int Offset() const { return SaveMode() ? 1 : 0; }
  // Moves both by `delta` (or to `to`), the highlight kept on an entry of the list.
  bool MoveBoth(int newFirst);

  TSelectionMode mode_ = TSelectionMode::LoadGame;
  std::vector<TSelectionEntry> entries_;
  int selected_ = kNone;
  int first_ = 0;
};

class TFormSelection : public TDialogForm {
 public:
  explicit TFormSelection(platform::FontCache& fonts);

  // Opens the list in a mode: its heading, its Select caption, its entries.
  void Open(TSelectionMode mode, std::vector<TSelectionEntry> entries, TTRVLanguage language);
  void Rebuild(std::vector<TSelectionEntry> entries);
  const TSelectionList& List() const { return list_; }
  TSelectionMode Mode() const { return list_.Mode(); }

  // Called whenever the highlighted entry may have changed, so the details beside follow.
  std::function<void()> OnHighlight;

  platform::widgets::TLabel& LabelHeading() { return *title_.front; }
  platform::widgets::TPanel& PanelSelect() { return *select_; }
  platform::widgets::TPanel& PanelCancel() { return *cancel_; }
  platform::widgets::TPanel& PanelDelete() { return *delete_; }
  platform::widgets::TPanel& PanelUp() { return *up_; }
  platform::widgets::TPanel& PanelDown() { return *down_; }
  platform::widgets::TPanel& Row(int row) { return *rows_[static_cast<std::size_t>(row)]; }

  static constexpr int kRowWidth = 199;
  static constexpr int kRowHeight = 41;

 private:
  void Refresh();
  void Changed(bool moved);

  TSelectionList list_;
  TTRVLanguage language_ = TTRVLanguage::English;
  platform::widgets::TPanel* body_;
  TDialogTitle title_;
  std::array<platform::widgets::TPanel*, TSelectionList::kRows> rows_{};
  platform::widgets::TPanel *up_, *down_, *select_, *delete_, *cancel_;
};

}  // namespace ui
