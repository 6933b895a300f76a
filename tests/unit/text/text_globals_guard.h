#pragma once
// Tests that change the program-wide text settings (case pairs, legacy code page) restore
// the start-up state when they end, so the order of tests never matters.

#include "support/text/case_folding.h"
#include "support/text/code_pages.h"

namespace trawler::text::testing {

class TextGlobalsGuard {
 public:
  TextGlobalsGuard() { Restore(); }
  ~TextGlobalsGuard() { Restore(); }
  TextGlobalsGuard(const TextGlobalsGuard&) = delete;
  TextGlobalsGuard& operator=(const TextGlobalsGuard&) = delete;

 private:
  static void Restore() {
    SetCasePairs(kStartupLowerLetters, kStartupUpperLetters);
    SetLegacyCodePage(CodePage::kWindows1252);
  }
};

}  // namespace trawler::text::testing
