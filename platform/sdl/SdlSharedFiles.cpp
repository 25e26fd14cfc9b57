#include "platform/sdl/SdlSharedFiles.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace Varn {

namespace {

struct MappedFile {
    dev_t device = 0;
    ino_t inode = 0;
};

// The device ("major:minor", hex) and inode of a maps line whose path (the text after the
// inode) is `prefix` followed by a plain name; false for any other line. A removed file's
// path ends in " (deleted)" and so has a space, which no name of SDL's has.
bool ParseMappedFile(const std::string& line, const std::string& prefix, std::string& path,
                     MappedFile& file) {
    std::istringstream fields(line);
    std::string address, permissions, offset, device;
    unsigned long long inode = 0;
    if (!(fields >> address >> permissions >> offset >> device >> inode >> std::ws)) return false;
    // An anonymous mapping's line ends after its inode (and a space): no path at all.
    if (!std::getline(fields, path)) return false;
    if (path.compare(0, prefix.size(), prefix) != 0 ||
        path.find_first_of(" /", prefix.size()) != std::string::npos)
        return false;
    unsigned major = 0, minor = 0;
    if (std::sscanf(device.c_str(), "%x:%x", &major, &minor) != 2) return false;
    file.device = makedev(major, minor);
    file.inode = ino_t(inode);
    return true;
}

}  // namespace

// A name is unlinked only while it still names the very file mapped: one made anew under
// the same name (by another process, after ours went) is left alone.
int RemoveMappedSharedFiles(const std::string& runtimeFolder, const std::string& mapsText) {
    const std::string prefix = runtimeFolder + "/sdl-shared-";
    std::map<std::string, MappedFile> files;
    std::istringstream lines(mapsText);
    std::string line, path;
    MappedFile file;
    while (std::getline(lines, line))
        if (ParseMappedFile(line, prefix, path, file)) files[path] = file;
    int removed = 0;
    for (const auto& [name, mapped] : files) {
        struct stat now {};
        if (lstat(name.c_str(), &now) != 0 || now.st_dev != mapped.device ||
            now.st_ino != mapped.inode)
            continue;
        removed += unlink(name.c_str()) == 0 ? 1 : 0;
    }
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
