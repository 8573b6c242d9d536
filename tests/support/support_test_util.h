#pragma once
// Helpers of the support tests.
#include "test_files.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace quorvil::test {

using ScratchDir = testkit::TempDir;
using testkit::ReadText;
using testkit::WriteText;

// Sets an environment variable for one scope and restores it afterwards.
class EnvScope {
public:
    EnvScope(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvScope() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace quorvil::test
