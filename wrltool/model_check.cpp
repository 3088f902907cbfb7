#include "model_check.hpp"

#include <algorithm>
#include <cstdint>

#include "block_search.hpp"
#include "text_reader.hpp"

namespace scene {

namespace {

constexpr std::string_view kNamedNode = "DEF VRL_";
constexpr size_t kCheckBlock = 1 << 18;

// The check of a model handed in block by block. Blocks, not lines: a model's line may be
// longer than memory, and this is the cheapest way through a model of millions of point lines.
class ModelChecker {
  public:
    // Takes the next block; true, so that it reads on as ReadBlocks's callback.
    bool Feed(std::string_view block) {
        bytes_ += block.size();
        named_.Feed(block);
        if (header_.First() < 0 && header_.LinesEnded() < 3) header_.Feed(block);
        if (firstLineEnded_) return true;  // whether the first line (up to its CR) holds a LF
        const size_t lf = block.find('\n'), cr = block.find('\r');
        lfLineEnds_ = lf < cr;
        firstLineEnded_ = lfLineEnds_ || cr != std::string_view::npos;
        return true;
    }
    ModelCheck Result() const {
        ModelCheck check;
        check.HasHeader = header_.First() >= 0 && header_.First() < 3;
        check.DefCount = static_cast<int16_t>(std::min<long>(named_.Count(), INT16_MAX));
        check.LfLineEnds = lfLineEnds_;
        check.Bytes = bytes_;
        return check;
    }

  private:
    MarkedLines named_{kNamedNode}, header_{kConverterHeader};
    bool lfLineEnds_ = false;
    bool firstLineEnded_ = false;
    uint64_t bytes_ = 0;
};

}  // namespace

ModelCheck CheckModel(platform::ReadableFile& model) {
    ModelChecker checker;
    ReadBlocks(model, kCheckBlock, [&](std::string_view b) { return checker.Feed(b); });
    return checker.Result();
}

}  // namespace scene
