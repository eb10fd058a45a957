#include "cli/progress_bar.h"

#include <algorithm>

#include "cli/console_output.h"

namespace {
constexpr unsigned kBarWidth = 30;
constexpr std::size_t kTextWidth = 36;
}  // namespace

ProgressBar::ProgressBar(std::wstring label) : label_(std::move(label)), enabled_(stderr_is_console()) {}

ProgressBar::~ProgressBar() {
  if (drawn_) err_text(L"\n");
}

void ProgressBar::update(unsigned percent, const std::wstring& text) {
  percent = std::min(percent, 100u);
  if (!enabled_ || (percent == percent_ && text == text_)) return;
  percent_ = percent;
  text_ = text;
  const unsigned filled = percent * kBarWidth / 100;
  std::wstring line = L"\r" + label_ + L" [" + std::wstring(filled, L'#') + std::wstring(kBarWidth - filled, L' ') +
                      L"] " + std::to_wstring(percent) + L"% " + text.substr(0, kTextWidth);
  line += std::wstring(kTextWidth - std::min(kTextWidth, text.size()), L' ');
  err_text(line);
  drawn_ = true;
}
