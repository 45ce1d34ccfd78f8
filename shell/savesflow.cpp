// The screen flow of the lists of saves and worlds and of the name entry: which list a menu
// opens, the details beside it, what Select, Delete and Cancel do in each mode, and saving
// under the name the player gave. Files are found and deleted through the program's files,
// never through the current directory.
#include <filesystem>
#include <system_error>

#include "platform/log.h"
#include "platform/programfiles.h"
#include "shell/mainwindow.h"
#include "ui/decidedialogs.h"
#include "ui/errordialog.h"
#include "ui/gamemenu.h"
#include "ui/inputdialog.h"
#include "ui/loadgamedata.h"
#include "ui/selectiondialog.h"
#include "ui/worlddata.h"
#include "world/filenames.h"

using ui::TInputMode;
using ui::TSelectionMode;

namespace {

bool ListsSaves(TSelectionMode mode) {
  return mode != TSelectionMode::LoadWorldSkirmish && mode != TSelectionMode::NewCamp;
}

}  // namespace

void TFormTarvin::ConnectListDialogs() {
  Dialog<ui::TFormSelection>().OnHighlight = [this] { ShowSelectionDetails(); };
  ui::TFormInput& input = Dialog<ui::TFormInput>();
  input.Exists = [this](const std::string& name) { return NameExists(name); };
  input.OnAccept = [this](const std::string& name) { AcceptName(name); };
  ui::TFormWorldData& worlds = Dialog<ui::TFormWorldData>();
  worlds.LoadTick(engine_->Files().DataFile("tick.bmp"));
  worlds.OnIncludeChanged = [this] {
    ui::TFormSelection& list = Dialog<ui::TFormSelection>();
    if (list.Visible() && list.Mode() == TSelectionMode::LoadWorldSkirmish)
      list.Rebuild(SelectionEntriesFor(TSelectionMode::LoadWorldSkirmish));
  };
}

std::vector<ui::TSelectionEntry> TFormTarvin::SelectionEntriesFor(TSelectionMode mode) const {
  const platform::ProgramFiles& files = engine_->Files();
  std::vector<std::string> names;
  if (ListsSaves(mode)) names = platform::ListFileNames(files.SavesFolder(), ".TRV");
  else if (mode == TSelectionMode::LoadWorldSkirmish) names = platform::ListFileNames(files.WorldsFolder(), ".TRV");
  else names = platform::ListFileNames(files.WorldsFolder(), ".CAMP");
  return ui::SelectionEntries(mode, names, Dialog<ui::TFormWorldData>().IncludeCampaignWorlds());
}

void TFormTarvin::OpenSelection(TSelectionMode mode) {
  CloseDialogs();
  ui::TFormSelection& list = Dialog<ui::TFormSelection>();
  list.Open(mode, SelectionEntriesFor(mode), Language());
  ShowDialog(list);
  ui::TDialogForm* details = nullptr;
  if (ListsSaves(mode)) details = &Dialog<ui::TFormLoadGameData>();
  else if (mode == TSelectionMode::LoadWorldSkirmish) details = &Dialog<ui::TFormWorldData>();
  if (details != nullptr) {
    details->PlaceBeside = &list;
    ShowDialog(*details);
  }
  ShowSelectionDetails();
}

void TFormTarvin::ShowSelectionDetails() {
  const ui::TSelectionList& list = Dialog<ui::TFormSelection>().List();
  const ui::TSelectionEntry* entry = list.SelectedEntry();
  if (ListsSaves(list.Mode())) {
    if (entry == nullptr) {
      Dialog<ui::TFormLoadGameData>().ShowSave(nullptr, "", Language());
      return;
    }
    const TTRVExtractLoadGameData save = engine_->ReadSaveHeader(entry->name);
    const std::string type = save.valid ? engine_->GameTypeName(save.playerUnitType, save.missionType) : "";
    Dialog<ui::TFormLoadGameData>().ShowSave(&save, type, Language());
  } else if (list.Mode() == TSelectionMode::LoadWorldSkirmish) {
    const TTRVExtractWorldData world = entry ? engine_->ReadWorldHeader(entry->name) : TTRVExtractWorldData{};
    const std::filesystem::path thumb = entry ? engine_->Files().WorldThumb(entry->name) : std::filesystem::path{};
    Dialog<ui::TFormWorldData>().ShowWorld(world, thumb, Language());
  }
}

void TFormTarvin::OpenLoadGame() {
  engine_->EndTutorialMode();
  OpenSelection(TSelectionMode::LoadGame);
}

void TFormTarvin::OpenSkirmish() {
  engine_->EndTutorialMode();
  ShowSkirmishChoice();
}

void TFormTarvin::OpenCampaign() {
  engine_->EndTutorialMode();
  Open<ui::TFormCampDecide>();
}

void TFormTarvin::ShowSkirmishChoice() {
  // Only a world the list would show is worth offering; map images alone are no world.
  const bool listable = !SelectionEntriesFor(TSelectionMode::LoadWorldSkirmish).empty();
  ui::TFormSkirmishDecide& decide = Dialog<ui::TFormSkirmishDecide>();
  decide.Arrange(listable, false);
  CloseDialogs();
  ShowDialog(decide);
}

void TFormTarvin::OpenSaveFromGame() { OpenSelection(TSelectionMode::SaveGame); }

void TFormTarvin::OpenLoadFromGame() { OpenSelection(TSelectionMode::LoadGameFromGame); }

void TFormTarvin::OpenWorldList() { OpenSelection(TSelectionMode::LoadWorldSkirmish); }

void TFormTarvin::SelectionSelect() {
  const ui::TSelectionList& list = Dialog<ui::TFormSelection>().List();
  if (!list.SelectOffered()) return;
  const ui::TSelectionEntry* entry = list.SelectedEntry();
  const std::string name = entry ? entry->name : "";
  switch (list.Mode()) {
    case TSelectionMode::LoadGame:
    case TSelectionMode::LoadGameFromGame:
      LoadGame(name);
      break;
    case TSelectionMode::SaveGame:
    case TSelectionMode::SaveCamp: {
      const TInputMode mode = list.Mode() == TSelectionMode::SaveGame ? TInputMode::SaveGame : TInputMode::SaveCamp;
      CloseDialogs();
      ui::TFormInput& input = Dialog<ui::TFormInput>();
      input.Open(mode, name, Language());
      ShowDialog(input);
      break;
    }
    case TSelectionMode::LoadWorldSkirmish:
      // The skirmish set-up this leads to is not in this build: the world is only shown.
      ShowSelectionDetails();
      break;
    case TSelectionMode::NewCamp:
      break;  // campaigns come with their own dialogs
  }
}

void TFormTarvin::SelectionDelete() {
  ui::TFormSelection& dialog = Dialog<ui::TFormSelection>();
  const ui::TSelectionList& list = dialog.List();
  if (!list.DeleteOffered()) return;
  const std::string name = list.SelectedEntry()->name;
  const platform::ProgramFiles& files = engine_->Files();
  std::error_code ec;
  if (ListsSaves(list.Mode())) {
    std::filesystem::remove(files.Save(name), ec);
  } else if (list.Mode() == TSelectionMode::LoadWorldSkirmish) {
    for (const std::filesystem::path& file : {files.World(name), files.WorldMap(name), files.WorldThumb(name)})
      std::filesystem::remove(file, ec);
  }
  if (ec) platform::LogWarning("files", "could not delete \"" + name + "\": " + ec.message());
  dialog.Rebuild(SelectionEntriesFor(list.Mode()));
}

void TFormTarvin::SelectionCancel() {
  const TSelectionMode mode = Dialog<ui::TFormSelection>().Mode();
  switch (mode) {
    case TSelectionMode::LoadGame:
      ShowMainMenu();
      break;
    case TSelectionMode::SaveGame:
    case TSelectionMode::LoadGameFromGame:
      Open<ui::TFormGameMenu>();
      break;
    case TSelectionMode::SaveCamp:
      CloseDialogs();
      Resume();
      break;
    case TSelectionMode::LoadWorldSkirmish:
      ShowSkirmishChoice();
      break;
    case TSelectionMode::NewCamp:
      Open<ui::TFormCampDecide>();
      break;
  }
}

void TFormTarvin::InputCancel() {
  switch (Dialog<ui::TFormInput>().Mode()) {
    case TInputMode::SaveGame: OpenSelection(TSelectionMode::SaveGame); break;
    case TInputMode::SaveCamp: OpenSelection(TSelectionMode::SaveCamp); break;
    case TInputMode::NewSkirmishWorld: ShowSkirmishChoice(); break;
    case TInputMode::NewCamp: Open<ui::TFormCampDecide>(); break;
  }
}

bool TFormTarvin::NameExists(const std::string& name) const {
  const platform::ProgramFiles& files = engine_->Files();
  std::filesystem::path file;
  switch (Dialog<ui::TFormInput>().Mode()) {
    case TInputMode::SaveGame:
    case TInputMode::SaveCamp: file = files.Save(name); break;
    case TInputMode::NewSkirmishWorld: file = files.World(name); break;
    case TInputMode::NewCamp: file = files.Campaign(name); break;
  }
  std::error_code ec;
  return !file.empty() && std::filesystem::exists(file, ec);
}

void TFormTarvin::AcceptName(const std::string& name) {
  const TInputMode mode = Dialog<ui::TFormInput>().Mode();
  if (mode == TInputMode::NewSkirmishWorld) {
    ShowSkirmishChoice();  // the world generator's dialog comes with the skirmish set-up
    return;
  }
  if (mode == TInputMode::NewCamp) {
    Open<ui::TFormCampDecide>();
    return;
  }
  // An existing save is not deleted first: the new one replaces it only once it is written
  // in full, so a save that fails keeps the old one.
  CloseDialogs();
  if (!engine_->SaveGame(name)) {
    platform::LogError("save", engine_->LastError());
    ShowError(TextId::ErrorSaveNotWritten, engine_->LastError(), true);
    return;
  }
  if (mode == TInputMode::SaveGame) ShowDialog(Dialog<ui::TFormGameMenu>());
  else Resume();
}

void TFormTarvin::CloseError() {
  Dialog<ui::TFormError>().Hide();
  const bool backToGame = errorBackToGame_ && engine_->WorldRunning();
  errorBackToGame_ = false;
  if (backToGame) Open<ui::TFormGameMenu>();
  else ShowMainMenu();
}
