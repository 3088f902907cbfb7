#include "run_record.hpp"

namespace scene {

RunRecord& RunRecord::None() {
    static RunRecord none;
    return none;
}

}  // namespace scene
