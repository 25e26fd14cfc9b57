// Fuzz entry point for the advertisement line parser and the file-name check:
// any bytes must parse without a crash; every queued name passes the check,
// has no ".." segment and no leading "/"; a parsed record written out and
// read again keeps its size, files (or its refusal) and pending flag.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/internet/Advertisement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string line = text.substr(0, text.find('\n'));
    Varn::Advertisement record;
    std::vector<std::string> queue;
    if (!Varn::ParseAdvertisementLine(line, {}, record, queue)) return 0;
    for (const std::string& name : queue) {
        if (!Varn::IsSafeAdvertisementName(name) || name[0] == '/') std::abort();
        if (("/" + name + "/").find("/../") != std::string::npos) std::abort();
        if (name.size() > 200) std::abort();
    }
    if (record.files.size() > Varn::Advertisement::kMaxFiles) std::abort();
    Varn::Advertisement again;
    std::vector<std::string> queueAgain;
    Varn::ParseAdvertisementLine(Varn::FormatAdvertisementLine(record), {}, again, queueAgain);
    // A refused name is written as "..", so such a record reads back refused, not equal.
    const bool filesKept = record.refused ? again.refused : again.files == record.files;
    if (again.width != record.width || again.height != record.height || !filesKept ||
        again.pending != record.pending)
        std::abort();
    Varn::IsSafeAdvertisementName(text);
    return 0;
}
