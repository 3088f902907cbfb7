// The scene index of a Duplicate run: a VRML file beside the copies that inlines each copy the
// run wrote, so that the whole placed set opens at once.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace scene {

// Why the name cannot name a scene index, or "" when it can: NAME.wrl must be a plain file name
// on any system (WindowsNameProblem) and stay inside the output folder (no "..").
std::string SceneNameProblem(std::string_view name);

class SceneIndex {
  public:
    // A copy the run wrote, by its file name; a copy written again is inlined once.
    void Add(const std::string& copyFileName);
    // Whether a copy of that name, letter case ignored, was added.
    bool Holds(std::string_view fileName) const;
    // "#VRML V2.0 utf8" and one `Inline { url "NAME" }` line per copy, each ended by CR LF.
    std::string Text() const;

  private:
    std::vector<std::string> names_;
    std::unordered_set<std::string> seen_;
};

}  // namespace scene
