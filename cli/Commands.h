#pragma once
// The commands of skartina-cli. Each takes the words after its name and
// returns the exit status; bad usage throws UsageError, bad data any other
// std::exception.

#include <stdexcept>
#include <string>
#include <vector>

namespace skartina::cli {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Args = std::vector<std::string>;

int RunNew(const Args& args);
int RunRecalc(const Args& args);
int RunConvert(const Args& args);

}  // namespace skartina::cli
