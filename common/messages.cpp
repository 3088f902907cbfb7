#include "messages.hpp"

namespace scene {

std::string GroupedCount(long count) {
    std::string digits = std::to_string(count < 0 ? -count : count);
    for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return count < 0 ? "-" + digits : digits;
}

std::string ProgressText(Work work, int done, int total) {
    const char* what = work == Work::WritingCopies ? "Writing copy " : "Fixing model ";
    const int current = done < total ? done + 1 : total;
    return what + GroupedCount(current) + " of " + GroupedCount(total);
}

std::string StoppedText(Work work, int done, int total) {
    const char* what = work == Work::WritingCopies ? " copies written" : " models checked";
    return "Stopped: " + GroupedCount(done) + " of " + GroupedCount(total) + what;
}

}  // namespace scene
