#include "framework/crash/CrashFiles.h"

#include <filesystem>

#include "platform/AtomicFile.h"

namespace Varn {

bool WriteCrashFile(const std::string& folder, const std::string& text) {
    std::filesystem::path base =
        folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
    return WriteFileAtomically(base / "crash.txt", text);
}

}  // namespace Varn
