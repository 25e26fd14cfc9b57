// RegularFile: the one way the game opens a file it reads (saved game, high
// scores, settings, data files). Only a regular file is opened, and the open
// never blocks: a FIFO, a device or a folder where a file is expected is
// refused as "not a regular file" (the caller treats it as a damaged file)
// instead of freezing the game in open() or read().
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Varn {

enum class FileRead { Ok, Missing, NotRegular, TooLarge, Failed };

// A descriptor open for reading (close-on-exec, blocking reads), or -1 with
// errno ENOENT when there is nothing at path and EINVAL when it is not a
// regular file. The caller closes it.
int OpenRegularFile(const std::string& path);

// Reads the whole file into bytes. TooLarge when it holds more than maxBytes;
// bytes then keeps the first maxBytes + 1 of them, so a caller can look at
// them. On every other failure bytes is empty.
FileRead ReadRegularFile(const std::string& path, std::size_t maxBytes,
                         std::vector<std::uint8_t>& bytes);
FileRead ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& text);

// True when a regular file is at path (checked without opening it).
bool RegularFileExists(const std::string& path);

const char* FileReadText(FileRead result);

}  // namespace Varn
