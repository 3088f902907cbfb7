#include "child_process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "messages.hpp"

namespace scene {

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailure = 1;
constexpr uid_t kNobody = 65534;

void WriteAll(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

[[noreturn]] void RunWork(const ChildLimits& limits, const std::function<std::string()>& work,
                          int out) {
    alarm(limits.Seconds);
    signal(SIGXFSZ, SIG_IGN);
    rlimit size{limits.MaxFileBytes, limits.MaxFileBytes};
    setrlimit(RLIMIT_FSIZE, &size);
    if (limits.Unprivileged && geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
        _exit(3);
    int code = kExitDone;
    std::string text;
    try {
        text = work();
    } catch (const Failure& failure) {
        code = kExitFailure;
        text = RunTimeErrorText(failure);
        if (!failure.Path().empty()) text += " (" + failure.Path() + ")";
    }
    WriteAll(out, text);
    _exit(code);  // no test-framework or sanitizer teardown in the child
}

}  // namespace

ChildResult RunInChild(const ChildLimits& limits, const std::function<std::string()>& work) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {};
    pid_t child = fork();
    if (child < 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        return {};
    }
    if (child == 0) {
        close(pipeFds[0]);
        RunWork(limits, work, pipeFds[1]);
    }
    close(pipeFds[1]);
    ChildResult result;
    char chunk[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], chunk, sizeof chunk)) > 0) result.Text.append(chunk, n);
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    result.Finished = WIFEXITED(status) &&
                      (WEXITSTATUS(status) == kExitDone || WEXITSTATUS(status) == kExitFailure);
    result.Failed = result.Finished && WEXITSTATUS(status) == kExitFailure;
    return result;
}

pid_t StartProgram(const std::vector<std::string>& args, const std::string& outputFile) {
    pid_t child = fork();
    if (child != 0) return child;
    int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || dup2(out, 1) < 0 || dup2(out, 2) < 0) _exit(127);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::signal(signal, SIG_DFL);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

int ExitStatusOf(pid_t program) {
    int status = 0;
    if (waitpid(program, &status, 0) != program) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace scene
