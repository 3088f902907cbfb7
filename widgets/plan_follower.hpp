// Plans computed off the window's thread: a request starts its computation a moment after the
// last of a burst (typing, scrolling a list), and stops the computation under way, which then
// delivers nothing.
#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <stop_token>
#include <thread>
#include <vector>

#include "plan.hpp"

namespace scene {

// A plan's computation for inputs taken already: it runs on a thread of its own and should
// return soon after a stop is requested.
using PlanJob = std::function<Plan(std::stop_token)>;

class PlanFollower : public QObject {
    Q_OBJECT
  public:
    explicit PlanFollower(QObject* parent = nullptr);
    // Stops every computation and waits for them.
    ~PlanFollower() override;

    // Runs what `take` returns (called on this thread when the burst is over); `delay` ms after
    // the last request.
    void Request(std::function<PlanJob()> take, int delay);

  signals:
    void Started();
    void Computed(std::shared_ptr<const Plan> plan);

  private:
    struct Run {
        std::jthread Thread;
        std::shared_ptr<std::atomic<bool>> Done;
    };

    void Start();

    QTimer wait_;
    std::function<PlanJob()> take_;
    std::vector<Run> runs_;
    unsigned long long latest_ = 0;  // the number of the newest computation
};

}  // namespace scene
