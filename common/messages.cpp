#include "messages.hpp"

namespace scene {

std::string GroupedCount(long count) {
    std::string text = std::to_string(count);
    const size_t firstDigit = count < 0 ? 1 : 0;
    for (size_t at = text.size(); at > firstDigit + 3; at -= 3) text.insert(at - 3, 1, ',');
    return text;
}

std::string ProgressText(Work work, int done, int total) {
    std::string text = work == Work::WritingCopies ? "Writing copy " : "Fixing model ";
    text.append(GroupedCount(done < total ? done + 1 : total));
    text.append(" of ");
    text.append(GroupedCount(total));
    return text;
}

std::string StoppedText(Work work, int done, int total) {
    std::string text = "Stopped: ";
    text.append(GroupedCount(done));
    text.append(" of ");
    text.append(GroupedCount(total));
    text.append(work == Work::WritingCopies ? " copies written" : " models checked");
    return text;
}

}  // namespace scene
