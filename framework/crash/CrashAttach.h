// The write folder the fault handler hands to the report process, held open by the
// application's side (CrashHandler::AttachApp) so that a path of any length works.
#pragma once

namespace Varn {

// Puts a new descriptor of the held folder in place (-1: none) and returns the previous
// one. Kept in the handler's file with the handler's read of it: the application's side
// then never links without the handler (and its installer).
int ExchangeHeldCrashFolder(int fd);

}  // namespace Varn
