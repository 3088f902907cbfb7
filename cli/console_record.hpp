// What a run did, printed by the command-line programs: with --verbose one "wrote PATH" line per
// file written, after the messages; in a dry run one "would ..." line per file the run would
// write and step that would fail, among the messages.
#pragma once

#include <string>
#include <vector>

#include "console_sink.hpp"
#include "run_record.hpp"

namespace scene {

class ConsoleRecord : public RunRecord {
  public:
    explicit ConsoleRecord(ConsoleSink& out) : out_(out) {}

    // Lists every file written, for PrintWritten.
    void ListWritten() { listing_ = true; }
    // A dry run: a file written outside a placement is told as `fileVerb` and its path
    // ("would rewrite ").
    void TellDryRun(std::string fileVerb) { dryRunVerb_ = std::move(fileVerb); }

    void FileWritten(const std::string& path) override;
    void Placed(const PlacementOutcome& outcome) override;
    // "wrote PATH", one line per file written, when listing.
    void PrintWritten();

  private:
    void Written(const std::string& path);

    ConsoleSink& out_;
    bool listing_ = false;
    std::string dryRunVerb_;  // empty: no dry run
    std::vector<std::string> written_;
};

}  // namespace scene
