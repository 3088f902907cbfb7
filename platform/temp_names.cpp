#include "temp_names.hpp"

#include <algorithm>
#include <functional>
#include <random>
#include <thread>

#include "path_syntax.hpp"

namespace scene {

namespace {
constexpr std::string_view kTempMark = ".tmp-";
constexpr size_t kTempRandomLength = 6;
}  // namespace

std::string TempNamePrefix(std::string_view name) {
    constexpr size_t kKeep = kNameMax - 1 - kTempMark.size() - kTempRandomLength;
    if (name.size() > kKeep) {
        size_t cut = kKeep;  // not inside a UTF-8 character: Windows converts names as UTF-8
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name = name.substr(0, cut);
    }
    std::string prefix = ".";
    prefix.append(name);
    prefix.append(kTempMark);
    return prefix;
}

bool IsTempName(std::string_view name) {
    const size_t fixed = 1 + kTempMark.size() + kTempRandomLength;  // ".", ".tmp-", XXXXXX
    if (name.size() <= fixed || name.front() != '.') return false;
    const std::string_view random = name.substr(name.size() - kTempRandomLength);
    return name.substr(name.size() - kTempRandomLength - kTempMark.size(), kTempMark.size()) ==
               kTempMark &&
           std::all_of(random.begin(), random.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
           });
}

std::string NewTempName(std::string_view name) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random = [] {  // writers run in several threads
        std::random_device device;
        std::seed_seq seed{
            device(), device(),
            static_cast<unsigned>(std::hash<std::thread::id>{}(std::this_thread::get_id()))};
        return std::mt19937(seed);
    }();
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    std::string temp = TempNamePrefix(name);
    for (size_t i = 0; i < kTempRandomLength; ++i) temp += kLetters[pick(random)];
    return temp;
}

}  // namespace scene
