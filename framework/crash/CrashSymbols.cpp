#include "framework/crash/CrashSymbols.h"

#include <cxxabi.h>
#include <elfutils/libdwfl.h>
#include <gelf.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace Varn {

namespace {

struct MapsEntry {
    uint64_t start = 0;
    uint64_t end = 0;
    uint64_t fileOffset = 0;
    std::string path;
};

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Lines "start-end perms offset dev inode [path]"; lines that do not parse are skipped.
std::vector<MapsEntry> ParseMaps(const std::string& text) {
    std::vector<MapsEntry> entries;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        unsigned long long start = 0, end = 0, offset = 0;
        int pathAt = -1;
        if (std::sscanf(line.c_str(), "%llx-%llx %*s %llx %*s %*s %n", &start, &end, &offset,
                        &pathAt) < 3 ||
            pathAt < 0)
            continue;
        entries.push_back({start, end, offset, line.substr(size_t(pathAt))});
    }
    return entries;
}

class MapsSymbols : public CrashSymbols {
public:
    explicit MapsSymbols(const std::string& text) : entries(ParseMaps(text)) {}
    bool Available() const override { return false; }
    CrashLocation Locate(uint64_t address) override {
        CrashLocation location;
        for (const MapsEntry& entry : entries) {
            if (address < entry.start || address >= entry.end) continue;
            location.module = BaseName(entry.path);
            location.offset = address - entry.start + entry.fileOffset;
            break;
        }
        return location;
    }
    CrashFrameInfo Describe(uint64_t address, bool) override {
        CrashFrameInfo info;
        info.location = Locate(address);
        return info;
    }

private:
    std::vector<MapsEntry> entries;
};

std::string Demangle(const char* name) {
    int status = 0;
    char* plain = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    if (status != 0 || !plain) return name;
    std::string result(plain);
    std::free(plain);
    return result;
}

class DwarfSymbols : public CrashSymbols {
public:
    explicit DwarfSymbols(const std::string& text) : maps(text), fallback(text) {
        callbacks.find_elf = dwfl_linux_proc_find_elf;
        callbacks.find_debuginfo = dwfl_standard_find_debuginfo;
        dwfl = dwfl_begin(&callbacks);
        if (!dwfl) return;
        FILE* file = fmemopen(maps.data(), maps.size(), "r");
        if (!file) return;
        dwfl_report_begin(dwfl);
        ready = dwfl_linux_proc_maps_report(dwfl, file) == 0;
        dwfl_report_end(dwfl, nullptr, nullptr);
        std::fclose(file);
    }
    ~DwarfSymbols() override {
        if (dwfl) dwfl_end(dwfl);
    }
    bool Available() const override { return ready; }

    CrashLocation Locate(uint64_t address) override {
        CrashLocation location = fallback.Locate(address);
        Dwfl_Module* module = ready ? dwfl_addrmodule(dwfl, address) : nullptr;
        if (!module) return location;
        GElf_Addr bias = 0;
        Elf* elf = dwfl_module_getelf(module, &bias);
        if (!elf) return location;
        uint64_t relative = address - bias;
        for (Elf_Scn* section = elf_nextscn(elf, nullptr); section;
             section = elf_nextscn(elf, section)) {
            GElf_Shdr header;
            if (!gelf_getshdr(section, &header) || !(header.sh_flags & SHF_ALLOC)) continue;
            if (relative < header.sh_addr || relative >= header.sh_addr + header.sh_size) continue;
            location.section = unsigned(elf_ndxscn(section));
            location.offset = relative - header.sh_addr;
            break;
        }
        return location;
    }

    CrashFrameInfo Describe(uint64_t address, bool returnAddress) override {
        CrashFrameInfo info;
        info.location = Locate(address);
        Dwfl_Module* module = ready ? dwfl_addrmodule(dwfl, address) : nullptr;
        if (!module) return info;
        // A return address points after the call; the call's own line is one byte back.
        uint64_t lookup = returnAddress ? address - 1 : address;
        GElf_Off offset = 0;
        GElf_Sym symbol;
        if (const char* name =
                dwfl_module_addrinfo(module, lookup, &offset, &symbol, nullptr, nullptr, nullptr)) {
            info.function = Demangle(name);
            info.displacement = address - (lookup - offset);
        }
        if (Dwfl_Line* line = dwfl_module_getsrc(module, lookup)) {
            int number = 0;
            if (const char* file =
                    dwfl_lineinfo(line, nullptr, &number, nullptr, nullptr, nullptr)) {
                info.file = file;
                info.line = number;
            }
        }
        return info;
    }

private:
    std::string maps;
    MapsSymbols fallback;
    Dwfl_Callbacks callbacks{};
    Dwfl* dwfl = nullptr;
    bool ready = false;
};

}  // namespace

std::unique_ptr<CrashSymbols> CreateMapsSymbols(const std::string& mapsText) {
    return std::make_unique<MapsSymbols>(mapsText);
}

std::unique_ptr<CrashSymbols> CreateDwarfSymbols(const std::string& mapsText) {
    return std::make_unique<DwarfSymbols>(mapsText);
}

}  // namespace Varn
