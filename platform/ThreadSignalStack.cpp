#include "platform/ThreadSignalStack.h"

#include <sys/mman.h>
#include <unistd.h>

namespace Varn {

ThreadSignalStack::ThreadSignalStack() {
    size_t guard = size_t(sysconf(_SC_PAGESIZE));
    mapped = kSize + guard;
    memory = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK,
                  -1, 0);
    if (memory == MAP_FAILED) {
        memory = nullptr;
        return;
    }
    // The lowest page stays unusable: a handler that overflows this stack faults instead of
    // writing over whatever lies below.
    mprotect(memory, guard, PROT_NONE);
    stack_t stack{};
    stack.ss_sp = static_cast<char*>(memory) + guard;
    stack.ss_size = kSize;
    installed = sigaltstack(&stack, &previous) == 0;
}

ThreadSignalStack::~ThreadSignalStack() {
    if (installed) sigaltstack(&previous, nullptr);
    if (memory) munmap(memory, mapped);
}

}  // namespace Varn
