#include "block_search.hpp"

#include "strings.hpp"

namespace scene {

bool BlockFinder::Feed(std::string_view block) {
    if (found_ || sought_.empty()) return found_ = true;
    const size_t keep = sought_.size() - 1;
    // An occurrence that begins in the tail ends within the tail and the block's first bytes.
    const bool joined = !tail_.empty();
    if (joined) {
        tail_.append(block.substr(0, std::min(block.size(), keep)));
        if (Contains(tail_, sought_)) return found_ = true;
    }
    if (Contains(block, sought_)) return found_ = true;
    if (block.size() >= keep)
        tail_.assign(block.substr(block.size() - keep));
    else if (!joined)
        tail_.assign(block);
    else if (tail_.size() > keep)
        tail_.erase(0, tail_.size() - keep);
    return false;
}

void BlockFinder::Reset() {
    tail_.clear();
    found_ = false;
}

void MarkedLines::PassLineEnds(std::string_view text) {
    if (first_ >= 0) {  // from the first marked line on, only whether a new line begins counts
        if (lineCounted_ && text.find('\r') != std::string_view::npos) lineCounted_ = false;
        return;
    }
    for (size_t at = 0; (at = text.find('\r', at)) != std::string_view::npos; ++at) ++line_;
}

void MarkedLines::Feed(std::string_view block) {
    // Bytes held back join the block; without any (most blocks), it is searched where it is.
    if (!window_.empty()) window_.append(block);
    const std::string_view text = window_.empty() ? block : std::string_view(window_);
    // A marker that may begin in the last bytes is not complete yet: those bytes wait.
    size_t held = std::min(text.size(), marker_.size() - 1);
    while (held > 0 && !text.ends_with(std::string_view(marker_).substr(0, held))) --held;
    const size_t settled = text.size() - held;
    size_t from = 0;
    for (size_t at; (at = text.find(marker_, from)) != std::string_view::npos;) {
        PassLineEnds(text.substr(from, at - from));
        if (!lineCounted_) {
            if (first_ < 0) first_ = line_;
            ++count_;
            lineCounted_ = true;
        }
        from = at + marker_.size();
    }
    if (from < settled) {
        PassLineEnds(text.substr(from, settled - from));
        from = settled;
    }
    window_ = std::string(text.substr(from));
}

BlockDeleter::BlockDeleter(std::string_view sought, Emit emit)
    : sought_(sought), searcher_(sought_.begin(), sought_.end()), emit_(std::move(emit)) {}

void BlockDeleter::Feed(std::string_view block) {
    if (sought_.empty()) return emit_(block);
    window_.append(block);
    const std::string_view text = window_;
    size_t from = 0;
    for (;;) {
        const auto at =
            std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), searcher_);
        if (at == text.end()) break;
        const size_t position = static_cast<size_t>(at - text.begin());
        if (position > from) emit_(text.substr(from, position - from));
        from = position + sought_.size();
    }
    // An occurrence that would begin this late is not complete yet: those bytes wait.
    const size_t settled = text.size() - std::min(text.size(), sought_.size() - 1);
    if (settled > from) {
        emit_(text.substr(from, settled - from));
        from = settled;
    }
    window_.erase(0, from);
}

void BlockDeleter::Finish() {
    if (!window_.empty()) emit_(window_);
    window_.clear();
}

}  // namespace scene
