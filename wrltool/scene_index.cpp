#include "scene_index.hpp"

#include "strings.hpp"
#include "windows_names.hpp"

namespace scene {

std::string SceneNameProblem(std::string_view name) {
    std::string problem = WindowsNameProblem(name);
    if (problem.empty() && Contains(name, ".."))
        problem = "holds \"..\", which could lead out of the output folder";
    return problem;
}

void SceneIndex::Add(const std::string& copyFileName) {
    if (seen_.insert(copyFileName).second) names_.push_back(copyFileName);
}

bool SceneIndex::Holds(std::string_view fileName) const {
    for (const std::string& name : names_)
        if (EqualsIgnoringCase(name, fileName)) return true;
    return false;
}

std::string SceneIndex::Text() const {
    std::string text = "#VRML V2.0 utf8\r\n";
    for (const std::string& name : names_) {
        text += "Inline { url \"";
        for (char c : name) {  // a VRML string escapes its quote and backslash
            if (c == '"' || c == '\\') text += '\\';
            text += c;
        }
        text += "\" }\r\n";
    }
    return text;
}

}  // namespace scene
