// The outlines of the copies a plan's run writes, made while the run goes on: the run mostly
// waits for the system, and a thread of their own keeps the other core busy meanwhile.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

#include "model_hull.hpp"
#include "placement.hpp"
#include "plan.hpp"
#include "run_files.hpp"

namespace scene {

class PlanOutlines {
  public:
    // Outlines for placements of `plan`, their models read through `files`; the thread comes
    // from `files`' system. Without a thread they are all made by Finish.
    PlanOutlines(Plan& plan, RunFiles& files, std::stop_token stop);
    ~PlanOutlines();

    // The run wrote placement `i` (of `plan`, placed as `place`) from the model at `modelPath`;
    // the run's thread hands each over once, in placement order, and touches it no more.
    void Add(size_t i, const Placement& place, const std::string& modelPath);
    // Every placement handed over is outlined; a failure while outlining is thrown here.
    void Finish();

  private:
    struct Order {
        size_t Index;
        const Placement* Place;
        std::string ModelPath;
    };
    // Placements of one model turned alike: from the second on they share the search for
    // their corners.
    struct TurnGroup {
        int Count = 0;
        std::unique_ptr<SharedTurnOutlines> Shared;
    };

    void Work();
    void Outline(const Order& order);

    Plan& plan_;
    RunFiles& files_;
    std::stop_token stop_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Order> orders_;
    bool finished_ = false;
    std::exception_ptr failure_;
    std::unique_ptr<platform::Thread> thread_;
    // The worker's own: the models' indexes into plan.Models, their hulls, the turn groups.
    std::map<std::string, int> models_;
    std::vector<std::vector<Point3>> hulls_;
    std::map<std::array<uint64_t, 7>, TurnGroup> groups_;
};

}  // namespace scene
