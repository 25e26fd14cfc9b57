// Runs a program to its end in a folder of its own and tells how it ended.
#pragma once

#include <string>
#include <vector>

namespace Varn::test {

struct RunResult {
    bool exited = false;
    int exitCode = -1;
    int signal = 0;
    bool timedOut = false;
    std::string output;  // stdout and stderr
};

// env: "NAME=value" entries added to the current environment. unprivileged: when running as
// root, the program runs as nobody (so a read-only folder really is read-only to it).
RunResult RunProgram(std::vector<std::string> argv, const std::string& folder,
                     const std::vector<std::string>& env, bool unprivileged, int timeoutMs);

// A fresh folder under the test's temporary directory, open to every user.
std::string MakeFolder(const std::string& prefix);
std::string ReadText(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace Varn::test
