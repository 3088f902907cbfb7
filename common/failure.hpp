// The failures a command can raise, with the numbers and descriptions users know them by.
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
    explicit Failure(FailureKind kind, std::string path = {});

    FailureKind Kind() const { return kind_; }
    int Number() const { return FailureNumber(kind_); }
    const char* Description() const { return FailureDescription(kind_); }
    const std::string& Path() const { return path_; }
    const char* what() const noexcept override { return FailureDescription(kind_); }

  private:
    FailureKind kind_;
    std::string path_;
};

// What `work` returns; a failure it throws is thrown again with `path`, the file whose text it
// was reading.
template <typename Work>
auto WithFailurePath(const std::string& path, Work work) -> decltype(work()) {
    try {
        return work();
    } catch (const Failure& failure) {
        throw Failure(failure.Kind(), path);
    }
}

// "Run-time error 'N': Description", the report's first line.
std::string RunTimeErrorText(const Failure& failure);

// Steps that failed under the skip-on-failure regime: counted, the first one kept for the report.
struct StepFailures {
    int Count = 0;
    std::optional<Failure> First;

    void Add(const Failure& failure) {
        ++Count;
        if (!First) First = failure;
    }
    // The failures of later steps, after these.
    void Append(const StepFailures& later) {
        Count += later.Count;
        if (!First) First = later.First;
    }
};

}  // namespace scene
