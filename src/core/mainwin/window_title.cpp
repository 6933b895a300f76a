#include "core/mainwin/window_title.h"

namespace trawler::mainwin {

std::string WindowTitle(std::string_view label, std::string_view text) {
  std::string title(kProgramTitle);
  title += " [";
  title += label;
  title += ": ";
  title += text;
  title += "]";
  return title;
}

}  // namespace trawler::mainwin
