// Switches the process's C locale (as an application may) for the scope of a test.
#pragma once

#include <clocale>
#include <string>

namespace zelir_test {

class ScopedLocale {
  public:
    explicit ScopedLocale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    // False when the locale is not installed on this machine.
    bool active() const { return active_; }

  private:
    std::string previous_;
    bool active_ = false;
};

}  // namespace zelir_test
