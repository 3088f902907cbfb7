// Test helpers: a temporary folder removed afterwards, files read and written byte for byte,
// and a message sink that records what a command showed.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "messages.hpp"
#include "run_context.hpp"

namespace scene {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // The path of a name inside the folder, "/" in the name standing for the separator.
    std::string operator/(const std::string& name) const;

  private:
    std::string path_;
};

// The path of a name inside a folder, "/" in the name standing for the separator.
std::string PathIn(const std::string& folder, const std::string& name);
// The root folder of the drive that holds an absolute path ("/" on POSIX systems, "C:\\" on
// Windows).
std::string RootFolderOf(const std::string& path);

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
void MakeFolder(const std::string& path);
// Takes away every write permission (on Windows: sets the read-only attribute), or gives the
// owner's back.
void SetReadOnly(const std::string& path, bool readOnly = true);
// The names in a folder, sorted, hidden ones included.
std::vector<std::string> FolderEntries(const std::string& folder);

// Lines joined with CR LF after each, as the tools write them.
std::string CrLfLines(const std::vector<std::string>& lines);

// A UTF-8 text as an editor saves it behind a byte-order mark: in UTF-8, or in UTF-16 (little
// or big endian).
enum class Mark { Utf8, Utf16Le, Utf16Be };
std::string Marked(const std::string& utf8, Mark mark);

struct RecordingSink : MessageSink {
    struct Message {
        std::string Text;
        MessageIcon Icon;
        std::string Detail = {};  // the file a problem message names
    };
    std::vector<Message> Messages;
    std::vector<Failure> Failures;
    std::vector<Message> Questions;  // each with the path it names
    bool Answer = false;             // to every question

    void ShowMessage(const std::string& text, MessageIcon icon) override {
        Messages.push_back({text, icon});
    }
    void ShowFileProblem(const std::string& text, const std::string& detail) override {
        Messages.push_back({text, MessageIcon::Error, detail});
    }
    void ReportFailure(const Failure& failure) override { Failures.push_back(failure); }
    bool AskYesNo(const std::string& question, const std::string& detail) override {
        Questions.push_back({question, MessageIcon::None, detail});
        return Answer;
    }
    std::vector<std::string> Texts() const;
};

// A run over the system's files, telling `sink`.
inline RunContext SystemRun(MessageSink& sink) {
    return RunContext(platform::SystemFileSystem(), sink);
}

}  // namespace scene
