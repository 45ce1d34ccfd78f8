// What every screenshot of a menu must show: each caption on screen fits its component and
// is drawn (pixels of its colour inside), no two dialogs overlap, and each caption is the
// text resources' record for the language.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/bitmap.h"
#include "platform/fonts.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/form.h"
#include "platform/widgets/host.h"
#include "shell/texts.h"

namespace e2e {

using platform::widgets::TForm;
using platform::widgets::TLabel;
using platform::widgets::TPanel;
using platform::widgets::TWidget;

struct Caption {
  const TWidget* widget;
  std::string text;
  platform::widgets::TFont font;
  bool wraps;
};

inline std::vector<Caption> CaptionsOn(const TForm& form) {
  std::vector<Caption> out;
  for (const TWidget* w : form.Components()) {
    if (!w->Showing()) continue;
    if (const auto* p = dynamic_cast<const TPanel*>(w); p && !p->Caption().empty())
      out.push_back({w, p->Caption(), p->Font(), false});
    if (const auto* l = dynamic_cast<const TLabel*>(w); l && !l->Caption().empty())
      out.push_back({w, l->Caption(), l->Font(), l->WordWrap()});
  }
  return out;
}

inline std::vector<TForm*> VisibleDialogs(platform::widgets::TWidgetHost& host) {
  std::vector<TForm*> out;
  for (TForm* f : host.ZOrder())
    if (f->Visible()) out.push_back(f);
  return out;
}

// Pixels of the widget's screen box close to the colour.
inline int PixelsNear(const platform::Bitmap& shot, const TWidget& w, platform::Color colour, int tolerance = 48) {
  int count = 0;
  for (int y = w.ScreenTop(); y < w.ScreenTop() + w.Height(); ++y)
    for (int x = w.ScreenLeft(); x < w.ScreenLeft() + w.Width(); ++x) {
      const platform::Color c = shot.Pixel(x, y);
      if (std::abs(platform::RedOf(c) - platform::RedOf(colour)) <= tolerance &&
          std::abs(platform::GreenOf(c) - platform::GreenOf(colour)) <= tolerance &&
          std::abs(platform::BlueOf(c) - platform::BlueOf(colour)) <= tolerance)
        ++count;
    }
  return count;
}

inline void ExpectMenusReadable(platform::widgets::TWidgetHost& host, const platform::Bitmap& shot) {
  const std::vector<TForm*> dialogs = VisibleDialogs(host);
  ASSERT_FALSE(dialogs.empty()) << "no dialog on screen";
  for (std::size_t i = 0; i < dialogs.size(); ++i) {
    const TForm& a = *dialogs[i];
    EXPECT_GE(a.Left(), 0) << a.Name();
    EXPECT_GE(a.Top(), 0) << a.Name();
    EXPECT_LE(a.Left() + a.Width(), shot.Width()) << a.Name();
    EXPECT_LE(a.Top() + a.Height(), shot.Height()) << a.Name();
    for (std::size_t j = i + 1; j < dialogs.size(); ++j) {
      const TForm& b = *dialogs[j];
      const bool apart = a.Left() + a.Width() <= b.Left() || b.Left() + b.Width() <= a.Left() ||
                         a.Top() + a.Height() <= b.Top() || b.Top() + b.Height() <= a.Top();
      EXPECT_TRUE(apart) << a.Name() << " overlaps " << b.Name();
    }
    for (const Caption& c : CaptionsOn(a)) {
      SCOPED_TRACE(a.Name() + "." + c.widget->Name() + " \"" + c.text + "\"");
      if (!c.wraps) {
        EXPECT_LE(a.Fonts().TextWidth(c.text, c.font.size, c.font.bold), c.widget->Width()) << "does not fit";
      }
      EXPECT_GE(PixelsNear(shot, *c.widget, c.font.color), 4) << "not drawn";
    }
  }
}

// The records of data/Texts.txt: (dialog, component) -> {English, Czech}.
inline std::map<std::pair<std::string, std::string>, std::pair<std::string, std::string>> TextRecords(
    const std::filesystem::path& programFolder) {
  std::map<std::pair<std::string, std::string>, std::pair<std::string, std::string>> records;
  const std::vector<std::string> lines = ReadTextLines(programFolder / "data" / "Texts.txt");
  for (std::size_t i = 0; i + 4 <= lines.size(); ++i)
    if (lines[i].rfind("Form", 0) == 0) records[{lines[i], lines[i + 1]}] = {lines[i + 2], lines[i + 3]};
  return records;
}

// Every caption on screen that has a record reads the record's text in the language.
inline void ExpectCaptionsInLanguage(platform::widgets::TWidgetHost& host, const std::filesystem::path& folder,
                                     bool czech) {
  const auto records = TextRecords(folder);
  int checked = 0;
  for (TForm* form : VisibleDialogs(host))
    for (const Caption& c : CaptionsOn(*form)) {
      const auto it = records.find({form->Name(), c.widget->Name()});
      if (it == records.end()) continue;
      EXPECT_EQ(c.text, czech ? it->second.second : it->second.first) << form->Name() << "." << c.widget->Name();
      ++checked;
    }
  EXPECT_GT(checked, 0);
}

}  // namespace e2e
