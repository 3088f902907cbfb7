#include "plan_follower.hpp"

#include <algorithm>
#include <exception>

#include "messages.hpp"

namespace scene {

namespace {

// A computation that failed: its plan ends before its first placement, saying why.
Plan FailedPlan(const std::exception& stopped) {
    Plan plan;
    std::string text = stopped.what();
    if (std::optional<Failure> failure = AsFailure(stopped)) {
        text = RunTimeErrorText(*failure);
        if (!failure->Path().empty()) text += " (" + failure->PathAndReason() + ")";
    }
    plan.Problems.push_back({ProblemKind::RunEnds, 0, -1, text});
    plan.ExitStatus = 3;
    return plan;
}

Plan ComputeSafely(const PlanJob& job, std::stop_token stop) {
    try {
        return job(stop);
    } catch (const std::exception& stopped) {
        return FailedPlan(stopped);
    }
}

}  // namespace

PlanFollower::PlanFollower(QObject* parent) : QObject(parent) {
    wait_.setSingleShot(true);
    connect(&wait_, &QTimer::timeout, this, &PlanFollower::Start);
}

PlanFollower::~PlanFollower() {
    for (Run& run : runs_) run.Thread.request_stop();
    runs_.clear();  // joins each
}

void PlanFollower::Request(std::function<PlanJob()> take, int delay) {
    take_ = std::move(take);
    wait_.start(delay);
}

void PlanFollower::Start() {
    std::erase_if(runs_, [](const Run& run) { return run.Done->load(); });
    for (Run& run : runs_) run.Thread.request_stop();
    const unsigned long long number = ++latest_;
    PlanJob job = take_ ? take_() : PlanJob();
    if (!job) return emit Computed(nullptr);
    emit Started();
    auto done = std::make_shared<std::atomic<bool>>(false);
    auto compute = [this, job = std::move(job), done, number](std::stop_token stop) {
        std::shared_ptr<const Plan> plan = std::make_shared<Plan>(ComputeSafely(job, stop));
        // Delivered on this object's thread, unless a newer computation began meanwhile.
        QMetaObject::invokeMethod(
            this,
            [this, plan, number] {
                if (number == latest_ && !plan->Stopped) emit Computed(plan);
            },
            Qt::QueuedConnection);
        done->store(true);
    };
    runs_.push_back({std::jthread(std::move(compute)), done});
}

}  // namespace scene
