// The name entry's two states, the name check and the mode's texts.
#include "ui/inputdialog.h"

#include "platform/input.h"
#include "platform/log.h"
#include "world/filenames.h"

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TFont;
using platform::widgets::TWidget;

namespace {

constexpr int kFormWidth = 440;
constexpr int kFormHeight = 186;
constexpr int kButtonWidth = 110;
constexpr int kButtonHeight = 30;
constexpr int kButtonTop = 130;
constexpr int kButtonGap = 20;

struct TInputTexts {
  TInputMode mode;
  TTRVNameKind kind;
  TextId prompt, invalid, existsBefore, existsAfter;
};
constexpr TInputTexts kModes[] = {
    {TInputMode::SaveGame, TTRVNameKind::Save, TextId::InputFilePrompt, TextId::InputSaveInvalid,
     TextId::SaveExistsBefore, TextId::SaveExistsAfter},
    {TInputMode::SaveCamp, TTRVNameKind::Save, TextId::InputFilePrompt, TextId::InputSaveInvalid,
     TextId::SaveExistsBefore, TextId::SaveExistsAfter},
    {TInputMode::NewSkirmishWorld, TTRVNameKind::World, TextId::InputWorldPrompt, TextId::InputWorldInvalid,
     TextId::WorldExistsBefore, TextId::WorldExistsAfter},
    {TInputMode::NewCamp, TTRVNameKind::Campaign, TextId::InputCampaignPrompt, TextId::InputCampaignInvalid,
     TextId::CampaignExistsBefore, TextId::CampaignExistsAfter},
};

const TInputTexts& TextsOf(TInputMode mode) {
  for (const TInputTexts& t : kModes)
    if (t.mode == mode) return t;
  return kModes[0];
}

}  // namespace

TFormInput::TFormInput(platform::FontCache& fonts) : TDialogForm("FormInput", fonts, 0.3, 0.5) {
  SetBounds(0, 0, kFormWidth, kFormHeight);
  body_ = AddBody();
  const int inner = body_->Width() - 40;
  prompt_ = AddText(*body_, "LabelPrompt", "", 20, 14, inner, 24, TFont{look::kTitleText, look::kTitleSize, true},
                    TAlignment::Left);
  edit_ = body_->Add<platform::widgets::TEdit>("EditName");
  edit_->SetBounds(20, 48, inner, 26);
  edit_->SetMaxLength(kMaxNameLength);
  edit_->SetFont(TFont{platform::MakeColor(0, 0, 0), 13, false});
  edit_->OnChange = [this](TWidget&) { message_->SetCaption(""); };
  message_ = AddText(*body_, "LabelMessage", "", 20, 84, inner, 22, TFont{look::kWarningText, look::kTextSize, true},
                     TAlignment::Left);
  question_ = AddText(*body_, "LabelQuestion", "", 20, 14, inner, 100, TFont{look::kText, 14, true},
                      TAlignment::Center);
  question_->SetWordWrap(true);
  ok_ = AddButton(*body_, "PanelOK", "OK", 0, kButtonTop, kButtonWidth, kButtonHeight);
  cancel_ = AddButton(*body_, "PanelCancel", "Cancel", 0, kButtonTop, kButtonWidth, kButtonHeight);
  yes_ = AddButton(*body_, "PanelYes", "Yes", 0, kButtonTop, kButtonWidth, kButtonHeight);
  no_ = AddButton(*body_, "PanelNo", "No", 0, kButtonTop, kButtonWidth, kButtonHeight);
  ok_->OnClick = [this](TWidget&) { SubmitName(); };
  yes_->OnClick = [this](TWidget&) {
    const std::string name = Name();
    if (OnAccept) OnAccept(name);
  };
  no_->OnClick = [this](TWidget&) { ShowEditing(); };
  OnKeyDown = [this](TWidget&, int vk) {
    if (vk == platform::vk::Return) Press(asking_ ? *yes_ : *ok_);
    else if (vk == platform::vk::Escape) Press(asking_ ? *no_ : *cancel_);
  };
  ShowEditing();
}

void TFormInput::Open(TInputMode mode, const std::string& name, TTRVLanguage language) {
  mode_ = mode;
  language_ = language;
  prompt_->SetCaption(TextString(TextsOf(mode).prompt, language));
  edit_->SetText(name);
  message_->SetCaption("");
  ShowEditing();
}

void TFormInput::SubmitName() {
  if (asking_) return;
  const std::string name = Name();
  if (name.empty()) return;
  const TInputTexts& texts = TextsOf(mode_);
  const std::string fault = NameFault(name, texts.kind);
  if (!fault.empty()) {
    platform::LogInfo("names", "\"" + name + "\" refused: " + fault);
    message_->SetCaption(TextString(texts.invalid, language_));
    return;
  }
  if (Exists && Exists(name)) {
    ShowQuestion(name);
    return;
  }
  if (OnAccept) OnAccept(name);
}

void TFormInput::ShowEditing() {
  asking_ = false;
  question_->SetVisible(false);
  prompt_->SetVisible(true);
  edit_->SetVisible(true);
  message_->SetVisible(true);
  const TButtonChoice row[] = {{yes_, false}, {no_, false}, {ok_, true}, {cancel_, true}};
  LineUpButtons(row, body_->Width(), kButtonGap);
  SetActiveControl(edit_);
}

void TFormInput::ShowQuestion(const std::string& name) {
  asking_ = true;
  const TInputTexts& texts = TextsOf(mode_);
  question_->SetCaption(TextString(texts.existsBefore, language_) + name + TextString(texts.existsAfter, language_));
  question_->SetVisible(true);
  prompt_->SetVisible(false);
  edit_->SetVisible(false);
  message_->SetVisible(false);
  const TButtonChoice row[] = {{yes_, true}, {no_, true}, {ok_, false}, {cancel_, true}};
  LineUpButtons(row, body_->Width(), kButtonGap);
}

}  // namespace ui
