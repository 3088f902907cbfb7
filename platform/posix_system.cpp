#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "mounted_roots.hpp"
#include "system.hpp"

namespace scene::platform {

namespace {

// The whole text of a small system file; "" when it cannot be read.
std::string SystemFileText(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    std::string text;
    char block[1 << 14];
    ssize_t n;
    while ((n = ::read(fd, block, sizeof block)) > 0) text.append(block, static_cast<size_t>(n));
    ::close(fd);
    return text;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

struct Watch {
    sigset_t Watched;
    void (*OnInterrupt)(int status);
};

void* AwaitSignal(void* argument) {
    const Watch watch = *static_cast<Watch*>(argument);
    delete static_cast<Watch*>(argument);
    int signal = 0;
    while (::sigwait(&watch.Watched, &signal) != 0) {
    }
    watch.OnInterrupt(128 + signal);
    return nullptr;
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

std::string CurrentFolder() {
    std::string folder(4096, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) return "/";
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::char_traits<char>::length(folder.data()));
    return folder;
}

std::vector<std::string> VolumeRoots() {
    // Without a mount table the machine still has its root folder.
    std::vector<std::string> roots;
    for (std::string& root : MountedRoots(SystemFileText("/proc/mounts")))
        if (IsFolder(root)) roots.push_back(std::move(root));
    return roots;
}

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

std::string NameKey(std::string_view name) {
    std::string key(name);
    for (char& c : key)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return key;
}

void WatchInterrupts(void (*onInterrupt)(int status)) {
    auto* watch = new Watch{{}, onInterrupt};
    ::sigemptyset(&watch->Watched);
    bool any = false;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current;
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            ::sigaddset(&watch->Watched, signal);
            any = true;
        }
    }
    sigset_t watched = watch->Watched;
    // Blocked here, and so in every thread started later: the signals wait for sigwait.
    if (any) ::pthread_sigmask(SIG_BLOCK, &watched, nullptr);
    pthread_attr_t attributes;
    pthread_t thread;
    bool started = any && ::pthread_attr_init(&attributes) == 0;
    if (started) {
        ::pthread_attr_setstacksize(&attributes, 1 << 16);
        ::pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
        started = ::pthread_create(&thread, &attributes, AwaitSignal, watch) == 0;
        ::pthread_attr_destroy(&attributes);
    }
    if (started) return;
    // No thread to watch them: the signals end the program as the system ends it.
    if (any) ::pthread_sigmask(SIG_UNBLOCK, &watched, nullptr);
    delete watch;
}

}  // namespace scene::platform
