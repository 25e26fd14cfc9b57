// The write folder the fault handler hands to the report process, held open by the
// application's side (CrashHandler::AttachApp) so that a path of any length works.
#pragma once

namespace Varn {

// The held folder's descriptor, -1 when there is none; an atomic read, safe in a handler.
int HeldCrashFolder();

}  // namespace Varn
