// The failures a command can raise, with the numbers and descriptions users know them by: the
// one error contract of the tools, from the system calls up to the reports.
#pragma once

#include <exception>
#include <optional>
#include <string>

namespace scene {

enum class FailureKind {
    InvalidArgument,
    Overflow,
    OutOfMemory,
    OutOfRange,
    DivisionByZero,
    TypeMismatch,
    FileNotFound,
    DiskFull,
    ReadPastEnd,
    PermissionDenied,
    DiskNotReady,
    AccessFailure,
    PathNotFound,
};

int FailureNumber(FailureKind kind);
const char* FailureDescription(FailureKind kind);

class Failure : public std::exception {
  public:
    // `reason`: the system's own words for what it refused.
    explicit Failure(FailureKind kind, std::string path = {}, std::string reason = {});

    FailureKind Kind() const { return kind_; }
    int Number() const { return FailureNumber(kind_); }
    const char* Description() const { return FailureDescription(kind_); }
    const std::string& Path() const { return path_; }
    const std::string& Reason() const { return reason_; }
    // The path, followed by ": " and the reason when there is one.
    std::string PathAndReason() const;
    const char* what() const noexcept override { return FailureDescription(kind_); }

  private:
    FailureKind kind_;
    std::string path_;
    std::string reason_;
};

// What `work` returns; a failure it throws is thrown again with `path`, the file whose text it
// was reading.
template <typename Work>
auto WithFailurePath(const std::string& path, Work work) -> decltype(work()) {
    try {
        return work();
    } catch (const Failure& failure) {
        throw Failure(failure.Kind(), path, failure.Reason());
    }
}

// What ended a command, as the failure its run-time error report shows: a Failure as it is,
// running out of memory as the out-of-memory failure. Empty for any other exception (a fault
// of the program itself, reported by its text).
std::optional<Failure> AsFailure(const std::exception& stopped);

}  // namespace scene
