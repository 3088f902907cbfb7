#include "plan_outlines.hpp"

#include <bit>

#include "model_copy.hpp"
#include "text_reader.hpp"

namespace scene {

namespace {

// The vertices of the hull of a model's points, read once, as its copies read them; none when
// it cannot be read.
std::vector<Point3> ModelHull(RunFiles& files, const std::string& path) {
    HullBuilder hull;
    try {
        TextFileReader model(files, path);
        ReadModelPoints(model, [&](const Point3& p, bool) { hull.Add(p); });
    } catch (const Failure&) {
        return {};
    }
    return hull.Vertices();
}

// A model and the bits of a turn's sines and cosines.
std::array<uint64_t, 7> TurnKey(int model, const PlacementTurn& t) {
    std::array<uint64_t, 7> key{static_cast<uint64_t>(model)};
    const double angles[] = {t.CosX, t.SinX, t.CosZ, t.SinZ, t.CosO, t.SinO};
    for (size_t i = 0; i < 6; ++i) key[i + 1] = std::bit_cast<uint64_t>(angles[i]);
    return key;
}

}  // namespace

PlanOutlines::PlanOutlines(Plan& plan, RunFiles& files, std::stop_token stop)
    : plan_(plan), files_(files), stop_(std::move(stop)) {
    thread_ = files_.System().StartThread([this] { Work(); });
}

PlanOutlines::~PlanOutlines() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
        orders_.clear();
    }
    ready_.notify_one();
    thread_.reset();  // waits for its end
}

void PlanOutlines::Add(size_t i, const Placement& place, const std::string& modelPath) {
    {
        std::lock_guard lock(mutex_);
        orders_.push_back({i, &place, modelPath});
    }
    ready_.notify_one();
}

void PlanOutlines::Finish() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    ready_.notify_one();
    if (thread_)
        thread_.reset();
    else
        Work();
    if (failure_) std::rethrow_exception(failure_);
}

void PlanOutlines::Work() {
    try {
        for (;;) {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return finished_ || !orders_.empty(); });
            if (orders_.empty() || stop_.stop_requested()) return;
            const Order order = std::move(orders_.front());
            orders_.pop_front();
            lock.unlock();
            Outline(order);
        }
    } catch (...) {
        failure_ = std::current_exception();  // read by Finish once this thread ended
    }
}

void PlanOutlines::Outline(const Order& order) {
    auto [at, added] = models_.try_emplace(order.ModelPath, static_cast<int>(plan_.Models.size()));
    if (added) {
        plan_.Models.push_back({order.ModelPath, 0});
        hulls_.push_back(ModelHull(files_, order.ModelPath));
    }
    PlannedPlacement& planned = plan_.Placements[order.Index];
    planned.Model = at->second;
    ++plan_.Models[static_cast<size_t>(planned.Model)].Placements;
    const std::vector<Point3>& hull = hulls_[static_cast<size_t>(planned.Model)];
    const PlacementTurn turn(*order.Place);
    TurnGroup& group = groups_[TurnKey(planned.Model, turn)];
    if (++group.Count == 2) group.Shared = std::make_unique<SharedTurnOutlines>(hull, turn);
    Outlines outlines = group.Shared ? group.Shared->For(turn) : PlacedOutlines(hull, turn);
    planned.Top = std::move(outlines.Top);
    planned.Side = std::move(outlines.Side);
}

}  // namespace scene
