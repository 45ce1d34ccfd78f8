// The table of the game's dialogs, in the order they are made.
#include "shell/dialogs.h"

#include <string>

#include "ui/createworlddialog.h"
#include "ui/creditsdialog.h"
#include "ui/decidedialogs.h"
#include "ui/errordialog.h"
#include "ui/gamemenu.h"
#include "ui/gameoverdialog.h"
#include "ui/inputdialog.h"
#include "ui/loadgamedata.h"
#include "ui/loadingdialog.h"
#include "ui/mainmenu.h"
#include "ui/selectiondialog.h"
#include "ui/tipsdialog.h"
#include "ui/tutorialdialog.h"
#include "ui/worlddata.h"

namespace {

using MakeDialog = std::unique_ptr<ui::TDialogForm> (*)(platform::FontCache&);

template <class D>
std::unique_ptr<ui::TDialogForm> Make(platform::FontCache& fonts) {
  return std::make_unique<D>(fonts);
}

// One row per dialog, in the order the game has always made them.
constexpr MakeDialog kDialogs[] = {
    Make<ui::TFormMainMenu>,    Make<ui::TFormGameMenu>,       Make<ui::TFormLoading>,
    Make<ui::TFormSelection>,   Make<ui::TFormLoadGameData>,   Make<ui::TFormInput>,
    Make<ui::TFormSkirmishDecide>, Make<ui::TFormCreateWorld>, Make<ui::TFormGameOver>,
    Make<ui::TFormWorldData>,   Make<ui::TFormCampDecide>,     Make<ui::TFormError>,
    Make<ui::TFormTips>,        Make<ui::TFormCredits>,        Make<ui::TFormTutorial>,
};

}  // namespace

TTRVDialogs::TTRVDialogs(platform::FontCache& fonts) {
  for (MakeDialog make : kDialogs) {
    owned_.push_back(make(fonts));
    all_.push_back(owned_.back().get());
  }
}

TTRVDialogs::~TTRVDialogs() {
  all_.clear();
  while (!owned_.empty()) owned_.pop_back();
}
