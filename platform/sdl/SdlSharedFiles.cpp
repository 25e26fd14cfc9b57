#include "platform/sdl/SdlSharedFiles.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace Varn {

int RemoveMappedSharedFiles(const std::string& runtimeFolder, const std::string& mapsText) {
    const std::string prefix = runtimeFolder + "/sdl-shared-";
    std::set<std::string> paths;
    std::istringstream lines(mapsText);
    std::string line;
    while (std::getline(lines, line)) {
        // The path is the last field; a removed file's ends in " (deleted)".
        std::size_t at = line.find(prefix);
        if (at == std::string::npos) continue;
        std::string path = line.substr(at);
        if (path.find(' ') == std::string::npos &&
            path.find('/', prefix.size()) == std::string::npos)
            paths.insert(path);
    }
    int removed = 0;
    for (const std::string& path : paths) removed += unlink(path.c_str()) == 0 ? 1 : 0;
    return removed;
}

int RemoveOwnSharedFiles() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return 0;
    // A file of the kernel's, sized 0 by stat: read to its end.
    std::ifstream maps("/proc/self/maps");
    std::ostringstream text;
    text << maps.rdbuf();
    return RemoveMappedSharedFiles(runtime, text.str());
}

}  // namespace Varn
