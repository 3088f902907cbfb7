#include "scene_index.hpp"

#include "strings.hpp"

namespace scene {

bool IsUsableSceneName(std::string_view name) {
    return !name.empty() && !Contains(name, "/") && !Contains(name, "\\") && !Contains(name, "..");
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
