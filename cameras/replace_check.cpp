#include "replace_check.hpp"

#include <cstdio>

#include "platform.hpp"

namespace scene {

namespace {

// Whether the file begins with the camera file's first line; false when it cannot be read.
bool BeginsAsCameraFile(const std::string& path) {
    try {
        const platform::FileHandle file = platform::OpenForReading(path);
        std::string head(kCameraFileHead.size(), '\0');
        return std::fread(head.data(), 1, head.size(), file.get()) == head.size() &&
               head == kCameraFileHead;
    } catch (const Failure&) {
        return false;
    }
}

}  // namespace

bool MayWriteCameraFile(const std::string& path, MessageSink& sink) {
    const platform::TargetState target = platform::StateOf(path);
    if (!target.Exists || target.Folder || target.ReadOnly || BeginsAsCameraFile(path)) return true;
    return sink.AskYesNo(std::string(kReplaceQuestion), path);
}

}  // namespace scene
