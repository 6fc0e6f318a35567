#include "cli/Commands.h"

#include "sheet/SheetGrid.h"

#include <charconv>

namespace skartina::cli {

int YearArgument(const std::string& text) {
    int year = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), year);
    if (ec != std::errc() || end != text.data() + text.size() || year < kOldestYear || year > kNewestYear)
        throw UsageError("το έτος πρέπει να είναι από " + std::to_string(kOldestYear) + " έως " +
                         std::to_string(kNewestYear) + ", όχι «" + text + "»");
    return year;
}

}  // namespace skartina::cli
