#include "framework/crash/CrashFiles.h"

#include <unistd.h>

#include "platform/AtomicFile.h"

namespace Varn {

bool WriteCrashFile(int folderFd, const std::string& text) {
    if (folderFd >= 0 && fchdir(folderFd) != 0) return false;
    return WriteFileAtomically("crash.txt", text);
}

}  // namespace Varn
