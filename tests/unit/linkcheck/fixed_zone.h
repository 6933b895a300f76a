// Runs a test in a fixed time zone nine hours east of UTC, so local times
// of the link checker can be stated exactly.
#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

class FixedZone {
 public:
  FixedZone() {
    const char* old = std::getenv("TZ");
    FHadZone = old != nullptr;
    if (old) FSaved = old;
    ::setenv("TZ", "JST-9", 1);
    ::tzset();
  }
  ~FixedZone() {
    if (FHadZone)
      ::setenv("TZ", FSaved.c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }
  FixedZone(const FixedZone&) = delete;
  FixedZone& operator=(const FixedZone&) = delete;

 private:
  bool FHadZone = false;
  std::string FSaved;
};
