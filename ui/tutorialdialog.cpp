// Tutorial dialog layout, locking and descriptions.
#include "ui/tutorialdialog.h"

#include <string>

#include "platform/input.h"

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TFont;
using platform::widgets::TPanel;

namespace {
constexpr int kLessonWidth = 369;
constexpr int kLessonHeight = 41;
constexpr int kColumnGap = 12;
constexpr int kRowPitch = kLessonHeight + 14;
constexpr int kSide = 14;
constexpr int kFormWidth = 2 * kLessonWidth + kColumnGap + 2 * kSide + 2 * kRimSize;
constexpr int kBodyWidth = kFormWidth - 2 * kRimSize;
constexpr int kFirstRow = 62;
constexpr int kInfoTop = kFirstRow + 5 * kRowPitch + 4;
constexpr int kInfoHeight = 76;
constexpr int kButtonTop = kInfoTop + kInfoHeight + 10;
constexpr int kFormHeight =
    kButtonTop + TTextPageForm::kButtonHeight + TTextPageForm::kBottomMargin + 2 * kRimSize;
constexpr int kOpenSize = 14;
constexpr int kLockedSize = 12;
}  // namespace

TFormTutorial::TFormTutorial(platform::FontCache& fonts)
    : TTextPageForm("FormTutorial", fonts, 0.5, 0.75, kFormWidth, kFormHeight, "Tutorial", 22) {
  TPanel& body = Body();
  static constexpr const char* designed[kLessonCount] = {"Helicopter machinegun training",
                                        "Helicopter rockets training",
                                        "Tank gun training",
                                        "Tank machinegun training",
                                        "Boat training",
                                        "Air strike training",
                                        "Enemy base attack",
                                        "Helicopter battle",
                                        "Tank battle",
                                        "Boat battle"};
  for (int n = 0; n < kLessonCount; ++n) {
    const int left = kSide + (n / 5) * (kLessonWidth + kColumnGap);
    const int top = kFirstRow + (n % 5) * kRowPitch;
    TPanel* lesson = AddButton(body, "PanelTut" + std::to_string(n), designed[n], left, top, kLessonWidth, kLessonHeight);
    lesson->Tag = n;
    TFont font = lesson->Font();
    font.size = kOpenSize;
    lesson->SetFont(font);
    lesson->OnClick = [this, n](platform::widgets::TWidget&) {
      if (LessonOpen(n) && OnLesson) OnLesson(n);
    };
    lesson->OnMouseMove = [this, n](platform::widgets::TWidget&, int, int) { ShowDescription(n); };
    lessons_[static_cast<std::size_t>(n)] = lesson;
    designed_[static_cast<std::size_t>(n)] = designed[n];
  }
  info_ = AddText(body, "LabelInfo", "", kSide, kInfoTop, kBodyWidth - 2 * kSide, kInfoHeight,
                  TFont{look::kText, 13, false}, TAlignment::Left);
  info_->SetWordWrap(true);
  help_ = AddRowButton("PanelHUDhelp", "Understanding screen symbols", kSide, 260);
  help_->SetVisible(false);
  cancel_ = AddRowButton("PanelCancel", "Cancel", kBodyWidth - kSide - 120, 120);
  PressOnKeys({platform::vk::Escape}, *cancel_);
}

void TFormTutorial::Arrange(int progress, std::span<const std::string> lessonTexts, TTRVLanguage language) {
  progress_ = progress;
  const std::string locked = TextString(TextId::TutorialLessonLocked, language);
  for (int n = 0; n < kLessonCount; ++n) {
    TPanel& lesson = *lessons_[static_cast<std::size_t>(n)];
    const auto at = static_cast<std::size_t>(n);
    const bool open = LessonOpen(n);
    // A text file with too few lines leaves the designed caption rather than a blank button.
    if (open) lesson.SetCaption(at < lessonTexts.size() && !lessonTexts[at].empty() ? lessonTexts[at] : designed_[at]);
    else lesson.SetCaption(locked);
    TFont font = lesson.Font();
    font.size = open ? kOpenSize : kLockedSize;
    lesson.SetFont(font);
    lesson.Cursor = open ? platform::CursorKind::Hand : platform::CursorKind::No;
    SyncDecoration(lesson);
    descriptions_[at] = at + kLessonCount < lessonTexts.size() ? lessonTexts[at + kLessonCount] : std::string();
  }
  ShowDescription(0);
}

void TFormTutorial::ShowDescription(int lesson) {
  info_->SetCaption(LessonOpen(lesson) ? descriptions_[static_cast<std::size_t>(lesson)] : std::string());
}

}  // namespace ui
