// The world details' labels, thumbnail sizing and the campaign-worlds switch.
#include "ui/worlddata.h"

#include <string>

#include "platform/bitmap.h"
#include "ui/datetext.h"

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TBevel;
using platform::widgets::TFont;
using platform::widgets::TImage;
using platform::widgets::TLabel;
using platform::widgets::TPanel;
using platform::widgets::TWidget;

namespace {
constexpr int kFormWidth = 401;
constexpr int kFormHeight = 573;
constexpr int kCaptionWidth = 150;
constexpr int kRowsTop = 50;
constexpr int kRowPitch = 28;
constexpr int kThumbPanelWidth = 353, kThumbPanelHeight = 289;
constexpr int kThumbFrameWidth = 337, kThumbFrameHeight = 273;
constexpr int kThumbTop = 170;
constexpr int kTickSize = 25;
}  // namespace

TFormWorldData::TFormWorldData(platform::FontCache& fonts) : TDialogForm("FormWorldData", fonts, 0.5, 0.5) {
  SetBounds(0, 0, kFormWidth, kFormHeight);
  body_ = AddBody();
  const int width = body_->Width();
  AddText(*body_, "Label4", "World information", 2, 12, width, 27, TFont{platform::MakeColor(0, 0, 0), look::kTitleSize, true},
          TAlignment::Center);
  AddText(*body_, "Label5", "World information", 0, 10, width, 27, TFont{look::kTitleText, look::kTitleSize, true},
          TAlignment::Center);
  struct Row {
    const char* caption;
    const char* captionName;
    const char* valueName;
    TLabel** value;
  };
  const Row rows[] = {{"World name:", "Label1", "LabelName", &name_},
                      {"Size:", "Label2", "LabelSize", &size_},
                      {"Created:", "Label3", "LabelCreated", &created_},
                      {"Num. of bases:", "Label6", "LabelNOfBases", &bases_}};
  int top = kRowsTop;
  for (const Row& row : rows) {
    AddText(*body_, row.captionName, row.caption, 20, top, kCaptionWidth, 20,
            TFont{look::kDimText, look::kTextSize, true}, TAlignment::Left);
    *row.value = AddText(*body_, row.valueName, "", 20 + kCaptionWidth, top, width - kCaptionWidth - 40, 20,
                         TFont{look::kText, look::kTextSize, true}, TAlignment::Left);
    top += kRowPitch;
  }

  const int thumbLeft = (width - kThumbPanelWidth) / 2;
  panelThumb_ = body_->Add<TPanel>("PanelThumb");
  panelThumb_->SetBounds(thumbLeft, kThumbTop, kThumbPanelWidth, kThumbPanelHeight);
  panelThumb_->SetColor(look::kInsetFrame);
  panelThumb_->SetBevel(TBevel::None);
  panelFrame_ = panelThumb_->Add<TPanel>("Panel4");
  panelFrame_->SetBounds((kThumbPanelWidth - kThumbFrameWidth) / 2, (kThumbPanelHeight - kThumbFrameHeight) / 2,
                         kThumbFrameWidth, kThumbFrameHeight);
  panelFrame_->SetColor(look::kInset);
  panelFrame_->SetBevel(TBevel::None);
  thumb_ = panelFrame_->Add<TImage>("ImageThumb");
  thumb_->SetStretch(true);
  thumb_->SetVisible(false);

  inclCamp_ = body_->Add<TPanel>("PanelInclCamp");
  inclCamp_->SetBounds(thumbLeft, kThumbTop + kThumbPanelHeight + 16, kThumbPanelWidth, 40);
  inclCamp_->SetColor(look::kInset);
  inclCamp_->SetBevel(TBevel::Frame);
  inclCamp_->SetBorderColor(look::kInsetFrame);
  inclCamp_->Cursor = platform::CursorKind::Hand;
  auto* box = inclCamp_->Add<TPanel>("PanelTickBox");
  box->SetBounds(8, (40 - kTickSize) / 2, kTickSize, kTickSize);
  box->SetColor(platform::MakeColor(255, 255, 255));
  box->SetBevel(TBevel::Frame);
  box->SetBorderColor(look::kInsetFrame);
  box->Cursor = platform::CursorKind::Hand;
  tick_ = box->Add<TImage>("ImageInclCamp");
  tick_->SetBounds(0, 0, kTickSize, kTickSize);
  tick_->SetTransparentColor(platform::MakeColor(0, 0, 0));
  tick_->SetVisible(false);
  tick_->Cursor = platform::CursorKind::Hand;
  auto* label = AddText(*inclCamp_, "Label7", "Include campaign worlds", 8 + kTickSize + 10, 10,
                        kThumbPanelWidth - kTickSize - 30, 20, TFont{look::kText, look::kTextSize, true},
                        TAlignment::Left);
  label->Cursor = platform::CursorKind::Hand;
  for (TWidget* w : {static_cast<TWidget*>(inclCamp_), static_cast<TWidget*>(box), static_cast<TWidget*>(tick_),
                     static_cast<TWidget*>(label)})
    w->OnClick = [this](TWidget&) { ToggleIncludeCampaignWorlds(); };
}

void TFormWorldData::LoadTick(const std::filesystem::path& file) {
  platform::Bitmap picture;
  std::string error;
  if (picture.LoadBmpFile(file.string(), error)) tick_->SetPicture(picture);
}

void TFormWorldData::ToggleIncludeCampaignWorlds() {
  includeCampaignWorlds_ = !includeCampaignWorlds_;
  tick_->SetVisible(includeCampaignWorlds_);
  if (OnIncludeChanged) OnIncludeChanged();
}

int TFormWorldData::ShowWorld(const TTRVExtractWorldData& world, const std::filesystem::path& thumbFile,
                              TTRVLanguage language) {
  tick_->SetVisible(includeCampaignWorlds_);
  thumb_->SetVisible(false);
  if (!world.valid || world.sectorsX <= 0 || world.sectorsZ <= 0) {
    const std::string none = TextString(TextId::NoValue, language);
    for (TLabel* label : {name_, size_, bases_, created_}) label->SetCaption(none);
    return -1;
  }
  name_->SetCaption(world.name);
  size_->SetCaption(std::to_string(world.sectorsX) + " x " + std::to_string(world.sectorsZ));
  bases_->SetCaption(std::to_string(world.baseCount));
  const std::string created = DateTimeText(world.createdAt);
  created_->SetCaption(created.empty() ? TextString(TextId::NoValue, language) : created);

  platform::Bitmap picture;
  std::string error;
  if (!thumbFile.empty() && picture.LoadBmpFile(thumbFile.string(), error) && !picture.Empty()) {
    const double x = world.sectorsX, z = world.sectorsZ;
    const int w = z < x ? kThumbSize : static_cast<int>(x / z * kThumbSize);
    const int h = z < x ? static_cast<int>(z / x * kThumbSize) : kThumbSize;
    // Centred in the frame that holds it, so no edge of the picture is cut off.
    thumb_->SetBounds(panelFrame_->Width() / 2 - w / 2, panelFrame_->Height() / 2 - h / 2, w, h);
    thumb_->SetPicture(picture);
    thumb_->SetVisible(true);
  }
  return world.baseCount;
}

}  // namespace ui
