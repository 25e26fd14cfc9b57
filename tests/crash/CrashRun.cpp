#include "CrashRun.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace Varn::test {

namespace {

constexpr uid_t kNobody = 65534;

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

[[noreturn]] void StartChild(std::vector<std::string> argv, std::vector<std::string> env,
                             const std::string& folder, const std::string& output,
                             bool unprivileged) {
    int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
    }
    if (chdir(folder.c_str()) != 0) _exit(126);
    if (unprivileged && getuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(126);
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) environment.push_back(*e);
    environment.insert(environment.end(), env.begin(), env.end());
    execve(argv[0].c_str(), Pointers(argv).data(), Pointers(environment).data());
    _exit(127);
}

// The build may sit below a folder only its owner can enter (mktemp -d makes them 0700):
// an unprivileged run gets a copy of the program in a folder anybody can reach.
std::string ReachableCopy(const std::string& program) {
    std::string folder = MakeFolder("program");
    std::string copy = folder + "/" + program.substr(program.rfind('/') + 1);
    std::ifstream in(program, std::ios::binary);
    std::ofstream(copy, std::ios::binary) << in.rdbuf();
    chmod(copy.c_str(), 0755);
    return copy;
}

}  // namespace

RunResult RunProgram(std::vector<std::string> argv, const std::string& folder,
                     const std::vector<std::string>& env, bool unprivileged, int timeoutMs) {
    RunResult result;
    if (unprivileged && getuid() == 0 && !argv.empty()) argv[0] = ReachableCopy(argv[0]);
    std::string output = MakeFolder("output") + "/output.txt";
    pid_t child = fork();
    if (child == 0) StartChild(argv, env, folder, output, unprivileged);
    if (child < 0) return result;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            result.timedOut = true;
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    result.exited = WIFEXITED(status);
    result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    result.output = ReadText(output);
    return result;
}

std::string MakeFolder(const std::string& prefix) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + prefix + "-XXXXXX";
    if (!mkdtemp(pattern.data())) return std::string();
    chmod(pattern.c_str(), 0777);
    return pattern;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

}  // namespace Varn::test
