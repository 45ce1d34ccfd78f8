// The list of saves, worlds and campaigns without a window: what each mode lists and marks,
// scrolling with clicks and double clicks at both ends of short and long lists (the
// highlight never leaving the list), the rows as the player sees them, and Select and
// Delete only where there is something to act on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fonts.h"
#include "platform/widgets/host.h"
#include "ui/selectiondialog.h"

namespace {

using namespace platform::widgets;
using ui::TSelectionEntry;
using ui::TSelectionList;
using ui::TSelectionMode;

std::vector<TSelectionEntry> Entries(int count) {
  std::vector<TSelectionEntry> entries;
  for (int i = 0; i < count; ++i) entries.push_back({"Save " + std::to_string(100 + i), true});
  return entries;
}

TEST(SelectionEntries, EachModeListsAndMarksItsFiles) {
  using E = std::vector<TSelectionEntry>;
  const std::vector<std::string> names = {"AutoSave", "Island_7", "Island_51", "My game", "TempSave"};
  struct Case {
    TSelectionMode mode;
    bool campaignWorlds;
    E entries;
  } cases[] = {
      {TSelectionMode::LoadGame, false,
       E{{"AutoSave", false}, {"Island_7", true}, {"Island_51", true}, {"My game", true}, {"TempSave", true}}},
      {TSelectionMode::LoadGameFromGame, true,
       E{{"AutoSave", false}, {"Island_7", true}, {"Island_51", true}, {"My game", true}, {"TempSave", true}}},
      // The game's own saves are never offered to be saved over.
      {TSelectionMode::SaveGame, false, E{{"Island_7", true}, {"Island_51", true}, {"My game", true}}},
      {TSelectionMode::SaveCamp, true, E{{"Island_7", true}, {"Island_51", true}, {"My game", true}}},
      // A campaign's worlds only when asked for, and never deleted from here.
      {TSelectionMode::LoadWorldSkirmish, false,
       E{{"AutoSave", true}, {"Island_51", true}, {"My game", true}, {"TempSave", true}}},
      {TSelectionMode::LoadWorldSkirmish, true,
       E{{"AutoSave", true}, {"Island_7", false}, {"Island_51", true}, {"My game", true}, {"TempSave", true}}},
      {TSelectionMode::NewCamp, false,
       E{{"AutoSave", true}, {"Island_7", true}, {"Island_51", true}, {"My game", true}, {"TempSave", true}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    EXPECT_EQ(ui::SelectionEntries(c.mode, names, c.campaignWorlds), c.entries);
  }
}

// One scroll step of the player: a click or a double click on Up or Down, or a click on a row.
enum class Op { Up, Down, FastUp, FastDown, Row0, Row1, Row2, Row3 };

void Apply(TSelectionList& list, Op op) {
  switch (op) {
    case Op::Up: list.ScrollUp(); break;
    case Op::Down: list.ScrollDown(); break;
    case Op::FastUp: list.FastUp(); break;
    case Op::FastDown: list.FastDown(); break;
    case Op::Row0: list.ClickRow(0); break;
    case Op::Row1: list.ClickRow(1); break;
    case Op::Row2: list.ClickRow(2); break;
    case Op::Row3: list.ClickRow(3); break;
  }
}

TEST(SelectionList, ScrollingMovesTheFirstRowAndTheHighlightTogetherAndNeverOffTheList) {
  constexpr int kNew = TSelectionList::kCreateNew, kNone = TSelectionList::kNone;
  constexpr auto L = TSelectionMode::LoadGame, S = TSelectionMode::SaveGame;
  struct Case {
    const char* what;
    TSelectionMode mode;
    int count;
    std::vector<Op> ops;
    int first, selected;
    bool up, down;
  } cases[] = {
      {"empty load list", L, 0, {}, 0, kNone, false, false},
      {"empty load list, every button", L, 0, {Op::Down, Op::FastDown, Op::Up, Op::FastUp, Op::Row0}, 0, kNone, false,
       false},
      {"one save", L, 1, {Op::Down, Op::FastDown}, 0, 0, false, false},
      {"nine saves fit", L, 9, {Op::Down, Op::FastDown}, 0, 0, false, false},
      {"ten saves fit", L, 10, {Op::Row3, Op::Down, Op::FastDown}, 0, 3, false, false},
      {"eleven: one step down", L, 11, {Op::Down}, 1, 1, true, false},
      {"eleven: no second step", L, 11, {Op::Down, Op::Down}, 1, 1, true, false},
      {"eleven: double click down jumps to the last", L, 11, {Op::FastDown}, 10, 10, true, false},
      {"eleven: double click up from there", L, 11, {Op::FastDown, Op::FastUp}, 1, 1, true, false},
      {"eleven: back to the top", L, 11, {Op::FastDown, Op::FastUp, Op::FastUp}, 0, 0, false, true},
      {"25: nine down", L, 25, {Op::FastDown}, 9, 9, true, true},
      {"25: then to the last", L, 25, {Op::FastDown, Op::FastDown}, 24, 24, true, false},
      {"25: highlight keeps its row", L, 25, {Op::Row3, Op::Down, Op::FastDown}, 10, 13, true, true},
      {"25: highlight at the last jump", L, 25, {Op::Row3, Op::FastDown, Op::FastDown}, 24, 24, true, false},
      {"25: up by nine from the end", L, 25, {Op::FastDown, Op::FastDown, Op::FastUp}, 15, 15, true, false},
      {"25: up to the top below ten", L, 25, {Op::FastDown, Op::FastDown, Op::FastUp, Op::FastUp, Op::FastUp}, 0, 0,
       false, true},
      {"25: a blank row takes no click", L, 25, {Op::FastDown, Op::FastDown, Op::Row2}, 24, 24, true, false},
      {"25: one up", L, 25, {Op::FastDown, Op::Up}, 8, 8, true, true},

      {"saving with none", S, 0, {Op::Down, Op::FastDown, Op::Row1}, 0, kNew, false, false},
      {"saving: nine fit below Create new", S, 9, {Op::Down}, 0, kNew, false, false},
      {"saving: the tenth needs a step", S, 10, {Op::Down}, 1, kNew, true, false},
      {"saving: Create new stays put", S, 11, {Op::FastDown}, 10, kNew, true, false},
      {"saving: Create new stays put going up", S, 25, {Op::FastDown, Op::FastDown, Op::FastUp}, 15, kNew, true, true},
      {"saving: an entry moves with the list", S, 25, {Op::Row2, Op::FastDown}, 9, 10, true, true},
      {"saving: and jumps to the last", S, 25, {Op::Row2, Op::FastDown, Op::FastDown}, 24, 24, true, false},
      {"saving: row 0 is Create new", S, 25, {Op::Row2, Op::Row0}, 0, kNew, false, true},
      {"saving: ten entries, one step", S, 10, {Op::Row1, Op::Down, Op::Down}, 1, 1, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TSelectionList list;
    list.Open(c.mode, Entries(c.count));
    for (Op op : c.ops) {
      Apply(list, op);
      const int s = list.Selected();
      EXPECT_TRUE(s == kNew ? list.SaveMode() : s == kNone ? (!list.SaveMode() && c.count == 0) : s >= 0 && s < c.count)
          << "the highlight left the list: " << s;
    }
    EXPECT_EQ(list.FirstVisible(), c.first);
    EXPECT_EQ(list.Selected(), c.selected);
    EXPECT_EQ(list.CanScrollUp(), c.up);
    EXPECT_EQ(list.CanScrollDown(), c.down);
  }
}

TEST(SelectionList, SelectAndDeleteOnlyWithSomethingToActOn) {
  struct Case {
    const char* what;
    TSelectionMode mode;
    std::vector<TSelectionEntry> entries;
    bool select, del;
  } cases[] = {
      {"nothing to load", TSelectionMode::LoadGame, {}, false, false},
      {"a save to load", TSelectionMode::LoadGame, {{"My game", true}}, true, true},
      {"the automatic save", TSelectionMode::LoadGameFromGame, {{"AutoSave", false}}, true, false},
      {"saving: Create new", TSelectionMode::SaveGame, {{"My game", true}}, true, false},
      {"saving with no saves", TSelectionMode::SaveCamp, {}, true, false},
      {"no world", TSelectionMode::LoadWorldSkirmish, {}, false, false},
      {"a campaign's world", TSelectionMode::LoadWorldSkirmish, {{"Island_7", false}}, true, false},
      {"a campaign: its deletion comes with campaigns", TSelectionMode::NewCamp, {{"War", true}}, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TSelectionList list;
    list.Open(c.mode, c.entries);
    EXPECT_EQ(list.SelectOffered(), c.select);
    EXPECT_EQ(list.DeleteOffered(), c.del);
  }
}

TEST(SelectionList, ARebuiltListKeepsTheHighlightOnWhatIsLeft) {
  TSelectionList list;
  list.Open(TSelectionMode::LoadGame, Entries(25));
  list.FastDown();
  list.FastDown();  // the last entry, alone on the first row
  list.Rebuild(Entries(24));
  EXPECT_EQ(list.Selected(), 23);
  EXPECT_EQ(list.FirstVisible(), 14) << "a full page that shows the highlight";
  list.Rebuild({});
  EXPECT_EQ(list.Selected(), TSelectionList::kNone);
  EXPECT_EQ(list.FirstVisible(), 0);
  EXPECT_FALSE(list.SelectOffered());

  list.Open(TSelectionMode::SaveGame, Entries(3));
  list.Rebuild({});
  EXPECT_EQ(list.Selected(), TSelectionList::kCreateNew);
}

TEST(FormSelection, RowsShowTheEntriesGreyForKeptGreenForTheHighlight) {
  platform::FontCache fonts;
  ui::TFormSelection dialog(fonts);
  int highlights = 0;
  dialog.OnHighlight = [&] { ++highlights; };
  std::vector<TSelectionEntry> entries = {{"AutoSave", false}, {"My game", true}};
  for (int i = 0; i < 10; ++i) entries.push_back({"Save " + std::to_string(i), true});
  dialog.Open(TSelectionMode::LoadGame, entries, TTRVLanguage::Czech);
  EXPECT_EQ(highlights, 1);
  EXPECT_EQ(dialog.LabelHeading().Caption(), "Nahraj hru");
  EXPECT_EQ(dialog.PanelSelect().Caption(), "Nahraj");
  const platform::Color green = platform::MakeColor(0, 128, 0), white = platform::MakeColor(255, 255, 255);
  const platform::Color grey = platform::MakeColor(128, 128, 128), black = platform::MakeColor(0, 0, 0);
  EXPECT_EQ(dialog.Row(0).Color(), green);
  EXPECT_EQ(dialog.Row(0).Font().color, grey) << "AutoSave is kept";
  EXPECT_EQ(dialog.Row(1).Color(), white);
  EXPECT_EQ(dialog.Row(1).Font().color, black);
  EXPECT_FALSE(dialog.PanelDelete().Visible()) << "AutoSave cannot be deleted";
  EXPECT_FALSE(dialog.PanelUp().Visible());
  EXPECT_TRUE(dialog.PanelDown().Visible()) << "twelve entries, ten rows";

  TWidgetHost host(fonts);
  host.AddForm(dialog);
  dialog.Show();
  const auto press = [&](const TWidget& w, std::uint32_t ms) {
    const int x = w.ScreenLeft() + w.Width() / 2, y = w.ScreenTop() + w.Height() / 2;
    host.MouseMove(x, y);
    host.MouseDown(x, y, TMouseButton::Left, 1, ms);
    host.MouseUp(x, y, TMouseButton::Left);
  };
  press(dialog.Row(1), 1000);
  EXPECT_EQ(dialog.List().Selected(), 1);
  EXPECT_EQ(highlights, 2);
  EXPECT_TRUE(dialog.PanelDelete().Visible());
  EXPECT_EQ(dialog.Row(1).Color(), green);
  EXPECT_EQ(dialog.Row(0).Color(), white);

  // A double click on Down: one step, then to the last entry.
  press(dialog.PanelDown(), 5000);
  press(dialog.PanelDown(), 5100);
  EXPECT_EQ(dialog.List().FirstVisible(), 11);
  EXPECT_EQ(dialog.Row(0).Caption(), " Save 9");
  EXPECT_EQ(dialog.Row(1).Caption(), "");
  EXPECT_EQ(dialog.Row(1).Cursor, platform::CursorKind::Arrow);
  EXPECT_EQ(dialog.Row(0).Cursor, platform::CursorKind::Hand);
  EXPECT_TRUE(dialog.PanelUp().Visible());
  EXPECT_FALSE(dialog.PanelDown().Visible());

  // A double click on a row acts on it, as Select does.
  int selects = 0;
  dialog.PanelSelect().OnClick = [&](TWidget&) { ++selects; };
  press(dialog.Row(0), 9000);
  press(dialog.Row(0), 9100);
  EXPECT_EQ(selects, 1);
  press(dialog.Row(3), 12000);
  press(dialog.Row(3), 12100);
  EXPECT_EQ(selects, 1) << "a blank row is nothing to act on";
}

TEST(FormSelection, SavingShowsCreateNewFirstInTheLanguageChosen) {
  platform::FontCache fonts;
  ui::TFormSelection dialog(fonts);
  dialog.Open(TSelectionMode::SaveGame, Entries(2), TTRVLanguage::English);
  EXPECT_EQ(dialog.LabelHeading().Caption(), "Save game");
  EXPECT_EQ(dialog.PanelSelect().Caption(), "Save");
  EXPECT_EQ(dialog.Row(0).Caption(), " Create new");
  EXPECT_EQ(dialog.Row(0).Color(), platform::MakeColor(0, 128, 0));
  EXPECT_EQ(dialog.Row(1).Caption(), " Save 100");
  EXPECT_FALSE(dialog.PanelDelete().Visible());
  dialog.Open(TSelectionMode::SaveGame, {}, TTRVLanguage::Czech);
  EXPECT_EQ(dialog.Row(0).Caption(), " Vytvoř novou");
  EXPECT_EQ(dialog.Row(1).Caption(), "");
}

}  // namespace
