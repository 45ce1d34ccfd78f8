// The tutorial dialog: ten lesson buttons in two columns, the lessons not yet reached
// locked, and under them the description of the lesson under the mouse. A click on an open
// lesson asks for it through OnLesson.
#pragma once

#include <array>
#include <functional>
#include <span>
#include <string>

#include "config/textids.h"
#include "ui/textpageform.h"

namespace ui {

inline constexpr int kLessonCount = 10;

class TFormTutorial : public TTextPageForm {
 public:
  explicit TFormTutorial(platform::FontCache& fonts);

  // Captions, fonts and cursors for this progress: lessons up to it open with their
  // captions (lessonTexts: captions 0-9, descriptions 10-19), the others "Locked".
  // Lesson 0 is always open.
  void Arrange(int progress, std::span<const std::string> lessonTexts, TTRVLanguage language);
  bool LessonOpen(int lesson) const { return lesson == 0 || lesson <= progress_; }
  void OfferHelp(bool offered) { SetShown(*help_, offered); }

  std::function<void(int lesson)> OnLesson;

  platform::widgets::TPanel& PanelTut(int lesson) { return *lessons_[static_cast<std::size_t>(lesson)]; }
  platform::widgets::TLabel& LabelInfo() { return *info_; }
  platform::widgets::TPanel& PanelHUDhelp() { return *help_; }
  platform::widgets::TPanel& PanelCancel() { return *cancel_; }

 private:
  void ShowDescription(int lesson);

  std::array<platform::widgets::TPanel*, kLessonCount> lessons_{};
  platform::widgets::TLabel* info_;
  platform::widgets::TPanel *help_, *cancel_;
  std::array<std::string, kLessonCount> descriptions_;
  std::array<std::string, kLessonCount> designed_;
  int progress_ = 0;
};

}  // namespace ui
