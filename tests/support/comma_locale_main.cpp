// The main of the toolkit-free tests: they run under a locale with a decimal comma, as the
// window does once Qt adopts the user's number locale, so that a figure written through
// the C library's locale-following formatting ("0,99" in a CSV field) fails a test here
// instead of a user's file.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) {
    std::fputs("no fr_FR.UTF-8 locale (scripts/install-deps makes it): the tests run in the C locale\n",
               stderr);
    if (std::getenv("CI") != nullptr) return 1;  // CI must not pass by running in the easy locale
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
