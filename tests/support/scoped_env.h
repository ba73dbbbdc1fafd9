// Sets or unsets an environment variable for the lifetime of the object, then puts back what was
// there before. The environment is process-wide: create and destroy these on the test's main
// thread, while no other thread reads the environment.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace test_support {

class ScopedEnv {
  public:
    // value nullopt unsets the variable.
    ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) {
            old_ = old;
        }
        Set(value);
    }
    ~ScopedEnv() { Set(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    void Set(const std::optional<std::string>& value) {
        if (value) {
            setenv(name_.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }

    std::string name_;
    std::optional<std::string> old_;
};

} // namespace test_support
