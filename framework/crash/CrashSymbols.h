// Places addresses of a crashed process in its loaded objects and names them. Works from the
// text of the crashed process's /proc/self/maps, so it runs in another process.
// The DWARF implementation (elfutils' libdw) finds function names, source files and lines,
// and the ELF section of an address; the maps-only one knows objects and offsets alone.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace Varn {

struct CrashLocation {
    std::string module;    // object file name without its folder; empty when unknown
    unsigned section = 0;  // ELF section index (0 when unknown)
    uint64_t offset = 0;   // offset inside that section, or inside the object file
};

struct CrashFrameInfo {
    CrashLocation location;
    std::string function;  // demangled; empty when unknown
    uint64_t displacement = 0;
    std::string file;  // source file, for code with debug information
    int line = 0;
};

class CrashSymbols {
public:
    virtual ~CrashSymbols() = default;
    // Whether function names can be looked up at all.
    virtual bool Available() const = 0;
    virtual CrashLocation Locate(uint64_t address) = 0;
    // returnAddress: the address follows a call, so the call itself is looked up.
    virtual CrashFrameInfo Describe(uint64_t address, bool returnAddress) = 0;
};

std::unique_ptr<CrashSymbols> CreateMapsSymbols(const std::string& mapsText);
// Falls back to Available() == false when libdw cannot read the maps.
std::unique_ptr<CrashSymbols> CreateDwarfSymbols(const std::string& mapsText);

}  // namespace Varn
