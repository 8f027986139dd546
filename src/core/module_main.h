#ifndef BREVAK_CORE_MODULE_MAIN_H_
#define BREVAK_CORE_MODULE_MAIN_H_

#include <string>

#include "core/form_update.h"
#include "platform/platform.h"

namespace brevak {

// The confirmation prompt: what the upgrade carries over and what must be
// saved by hand.
std::u16string StartPrompt();

// The start procedure: asks whether to go on and, on Yes, shows the update
// window `form`.
void Main(Platform& platform, FormUpdate& form);

}  // namespace brevak

#endif  // BREVAK_CORE_MODULE_MAIN_H_
