// The selection list's rules and its dialog's rows, scroll buttons and headings.
#include "ui/selectiondialog.h"

#include <algorithm>
#include <utility>

#include "world/filenames.h"

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TBevel;
using platform::widgets::TFont;
using platform::widgets::TPanel;
using platform::widgets::TWidget;

std::vector<TSelectionEntry> SelectionEntries(TSelectionMode mode, const std::vector<std::string>& names,
                                              bool includeCampaignWorlds) {
  std::vector<TSelectionEntry> entries;
  for (const std::string& name : names) {
    switch (mode) {
      case TSelectionMode::LoadGame:
      case TSelectionMode::LoadGameFromGame:
        entries.push_back({name, name != kAutoSaveName});
        break;
      case TSelectionMode::SaveGame:
      case TSelectionMode::SaveCamp:
        // The game's own saves cannot be given as a name, so they are not offered to save over.
        if (name != kAutoSaveName && name != kTempSaveName) entries.push_back({name, true});
        break;
      case TSelectionMode::LoadWorldSkirmish:
        if (!IsCampaignWorldName(name)) entries.push_back({name, true});
        else if (includeCampaignWorlds) entries.push_back({name, false});
        break;
      case TSelectionMode::NewCamp:
        entries.push_back({name, true});
        break;
    }
  }
  return entries;
}

void TSelectionList::Open(TSelectionMode mode, std::vector<TSelectionEntry> entries) {
  mode_ = mode;
  entries_ = std::move(entries);
  first_ = 0;
  // Saving offers a new name first: overwriting a save is a choice the player makes.
  selected_ = SaveMode() ? kCreateNew : (entries_.empty() ? kNone : 0);
}

void TSelectionList::Rebuild(std::vector<TSelectionEntry> entries) {
  entries_ = std::move(entries);
  const int rows = kRows - Offset();
  first_ = std::clamp(first_, 0, std::max(0, Count() - rows));
  if (selected_ == kCreateNew) return;
  if (entries_.empty()) selected_ = SaveMode() ? kCreateNew : kNone;
  else selected_ = std::clamp(selected_, 0, Count() - 1);
}

const TSelectionEntry* TSelectionList::SelectedEntry() const {
  if (selected_ < 0 || selected_ >= Count()) return nullptr;
  return &entries_[static_cast<std::size_t>(selected_)];
}

int TSelectionList::RowEntry(int row) const {
  if (row < 0 || row >= kRows) return kNone;
  if (SaveMode() && row == 0) return kCreateNew;
  const int index = first_ + row - Offset();
  return index < Count() ? index : kNone;
}

bool TSelectionList::ClickRow(int row) {
  const int entry = RowEntry(row);
  if (entry == kNone || entry == selected_) return false;
  selected_ = entry;
  return true;
}

bool TSelectionList::CanScrollDown() const { return first_ - Offset() < Count() - kRows; }

bool TSelectionList::MoveBoth(int newFirst) {
  if (entries_.empty()) return false;
  newFirst = std::clamp(newFirst, 0, Count() - 1);
  if (newFirst == first_) return false;
  // "Create new" stays in its row whatever the list below it does.
  if (selected_ != kCreateNew && selected_ != kNone)
    selected_ = std::clamp(selected_ + newFirst - first_, 0, Count() - 1);
  first_ = newFirst;
  return true;
}

bool TSelectionList::ScrollUp() { return CanScrollUp() && MoveBoth(first_ - 1); }

bool TSelectionList::ScrollDown() { return CanScrollDown() && MoveBoth(first_ + 1); }

bool TSelectionList::FastUp() {
  if (!CanScrollUp()) return false;
  if (first_ < 10) {
    const bool onEntry = selected_ != kCreateNew && selected_ != kNone;
    first_ = 0;
    if (onEntry) selected_ = 0;
    return true;
  }
  return MoveBoth(first_ - 9);
}

bool TSelectionList::FastDown() {
  if (!CanScrollDown()) return false;
  if (first_ - Offset() < Count() - 19) return MoveBoth(first_ + 9);
  const bool onEntry = selected_ != kCreateNew && selected_ != kNone;
  first_ = Count() - 1;
  if (onEntry) selected_ = Count() - 1;
  return true;
}

bool TSelectionList::DeleteOffered() const {
  const TSelectionEntry* entry = SelectedEntry();
  return entry != nullptr && entry->deletable && mode_ != TSelectionMode::NewCamp;
}

bool TSelectionList::SelectOffered() const { return SaveMode() || SelectedEntry() != nullptr; }

namespace {

constexpr int kFormWidth = 250;
constexpr int kFormHeight = 566;
constexpr int kUpTop = 40;
constexpr int kScrollHeight = 18;
constexpr int kRowsTop = 64;
constexpr int kButtonTop = 512;
constexpr int kButtonWidth = 64;
constexpr int kButtonHeight = 30;
constexpr int kButtonGap = 14;  // the buttons' rounded rims stay apart
constexpr platform::Color kRowSelected = platform::MakeColor(0, 128, 0);
constexpr platform::Color kRowPlain = platform::MakeColor(255, 255, 255);
constexpr platform::Color kRowText = platform::MakeColor(0, 0, 0);
constexpr platform::Color kRowKept = platform::MakeColor(128, 128, 128);

struct TModeTexts {
  TSelectionMode mode;
  TextId heading;
  TextId select;
};
constexpr TModeTexts kModeTexts[] = {
    {TSelectionMode::LoadGame, TextId::SelectLoadGameHeading, TextId::SelectLoad},
    {TSelectionMode::LoadGameFromGame, TextId::SelectLoadGameHeading, TextId::SelectLoad},
    {TSelectionMode::SaveGame, TextId::SelectSaveGameHeading, TextId::SelectSave},
    {TSelectionMode::SaveCamp, TextId::SelectSaveGameHeading, TextId::SelectSave},
    {TSelectionMode::LoadWorldSkirmish, TextId::SelectLoadWorldHeading, TextId::SelectLoad},
    {TSelectionMode::NewCamp, TextId::SelectNewCampaignHeading, TextId::SelectStart},
};

}  // namespace

TFormSelection::TFormSelection(platform::FontCache& fonts) : TDialogForm("FormSelection", fonts, 0.05, 0.5) {
  SetBounds(0, 0, kFormWidth, kFormHeight);
  body_ = AddBody();
  title_ = AddTitle(*body_, "", 6, look::kTitleSize);
  const int rowLeft = (body_->Width() - kRowWidth) / 2;
  up_ = AddButton(*body_, "PanelUp", "Up", rowLeft, kUpTop, kRowWidth, kScrollHeight);
  for (int r = 0; r < TSelectionList::kRows; ++r) {
    TPanel* row = body_->Add<TPanel>("PanelRow" + std::to_string(r));
    row->SetBounds(rowLeft, kRowsTop + r * kRowHeight, kRowWidth, kRowHeight);
    row->SetBevel(TBevel::Frame);
    row->SetBorderColor(look::kInsetFrame);
    row->SetAlignment(TAlignment::Left);
    row->OnClick = [this, r](TWidget&) { Changed(list_.ClickRow(r)); };
    row->OnDblClick = [this, r](TWidget&) {
      if (list_.RowEntry(r) != TSelectionList::kNone) Press(*select_);
    };
    rows_[static_cast<std::size_t>(r)] = row;
  }
  down_ = AddButton(*body_, "PanelDown", "Down", rowLeft, kRowsTop + TSelectionList::kRows * kRowHeight + 6,
                    kRowWidth, kScrollHeight);
  for (TPanel* scroll : {up_, down_}) {
    scroll->ShowHint = true;
    scroll->Hint = "Double click to scroll fast.";
  }
  up_->OnClick = [this](TWidget&) { Changed(list_.ScrollUp()); };
  up_->OnDblClick = [this](TWidget&) { Changed(list_.FastUp()); };
  down_->OnClick = [this](TWidget&) { Changed(list_.ScrollDown()); };
  down_->OnDblClick = [this](TWidget&) { Changed(list_.FastDown()); };

  const int left = (body_->Width() - 3 * kButtonWidth - 2 * kButtonGap) / 2;
  select_ = AddButton(*body_, "PanelSelect", "", left, kButtonTop, kButtonWidth, kButtonHeight);
  delete_ = AddButton(*body_, "PanelDelete", "Delete", left + kButtonWidth + kButtonGap, kButtonTop, kButtonWidth,
                      kButtonHeight);
  cancel_ = AddButton(*body_, "PanelCancel", "Cancel", left + 2 * (kButtonWidth + kButtonGap), kButtonTop,
                      kButtonWidth, kButtonHeight);
  PressOnEscape(*cancel_);
  Refresh();
}

void TFormSelection::Open(TSelectionMode mode, std::vector<TSelectionEntry> entries, TTRVLanguage language) {
  language_ = language;
  for (const TModeTexts& t : kModeTexts)
    if (t.mode == mode) {
      title_.front->SetCaption(TextString(t.heading, language));
      title_.shadow->SetCaption(title_.front->Caption());
      select_->SetCaption(TextString(t.select, language));
    }
  list_.Open(mode, std::move(entries));
  Changed(true);
}

void TFormSelection::Rebuild(std::vector<TSelectionEntry> entries) {
  list_.Rebuild(std::move(entries));
  Changed(true);
}

void TFormSelection::Changed(bool moved) {
  Refresh();
  if (moved && OnHighlight) OnHighlight();
}

void TFormSelection::Refresh() {
  SetShown(*delete_, list_.DeleteOffered());
  SetShown(*up_, list_.CanScrollUp());
  SetShown(*down_, list_.CanScrollDown());
  for (int r = 0; r < TSelectionList::kRows; ++r) {
    TPanel& row = *rows_[static_cast<std::size_t>(r)];
    const int entry = list_.RowEntry(r);
    std::string caption;
    bool kept = false;
    if (entry == TSelectionList::kCreateNew) {
      caption = TextString(TextId::SelectCreateNew, language_);
    } else if (entry != TSelectionList::kNone) {
      const TSelectionEntry& e = list_.Entries()[static_cast<std::size_t>(entry)];
      caption = " " + e.name;
      kept = !e.deletable;
    }
    row.SetCaption(entry == TSelectionList::kCreateNew ? " " + caption : caption);
    row.SetColor(entry != TSelectionList::kNone && entry == list_.Selected() ? kRowSelected : kRowPlain);
    row.SetFont(TFont{kept ? kRowKept : kRowText, look::kTextSize, true});
    row.Cursor = entry == TSelectionList::kNone ? platform::CursorKind::Arrow : platform::CursorKind::Hand;
  }
}

}  // namespace ui
