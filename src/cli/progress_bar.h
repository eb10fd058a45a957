// A one-line progress bar on standard error, drawn only when it is a
// console; pipes and files get nothing, so scripted output stays clean.
#pragma once
#include <string>

class ProgressBar {
 public:
  explicit ProgressBar(std::wstring label);
  ~ProgressBar();  // ends the line when anything was drawn
  // Redraws when the percentage or the text changed.
  void update(unsigned percent, const std::wstring& text = {});

 private:
  std::wstring label_;
  bool enabled_;
  bool drawn_ = false;
  unsigned percent_ = ~0u;
  std::wstring text_;
};
