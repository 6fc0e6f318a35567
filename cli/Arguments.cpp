#include "cli/Commands.h"

#include "common/TextFile.h"
#include "registry/AfmCheck.h"
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

const std::string& AfmArgument(const std::string& text) {
    if (!IsWholeAfm(text))
        throw UsageError("ο Α.Φ.Μ. «" + EscapeControls(text) + "» δεν είναι σωστός (εννέα ψηφία με σωστό ψηφίο ελέγχου)");
    return text;
}

void RefuseOutputOverInputs(const std::string& output, std::initializer_list<std::string> inputs) {
    for (const std::string& input : inputs)
        if (IsSameFile(output, input))
            throw UsageError("το αρχείο εξόδου «" + EscapeControls(output) + "» είναι το αρχείο εισόδου «" +
                             EscapeControls(input) + "»· δώστε άλλο αρχείο εξόδου");
}

}  // namespace skartina::cli
