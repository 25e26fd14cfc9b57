#include "framework/CrashFiles.h"

#include <cstdio>

namespace Varn {

namespace {
const char* const kCrashFile = "crash.txt";
const char* const kTemporaryFile = "crash.txt.tmp";
}  // namespace

bool WriteCrashFile(const std::string& text) {
    std::FILE* file = std::fopen(kTemporaryFile, "wb");
    if (!file) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fclose(file) == 0 && written;
    if (written && std::rename(kTemporaryFile, kCrashFile) == 0) return true;
    std::remove(kTemporaryFile);
    return false;
}

}  // namespace Varn
