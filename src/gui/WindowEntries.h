// Entry points of the window part that have no home in another subsystem.
#pragma once

#include <cstdint>

namespace qor {
struct Message;
}

namespace qor::gui {

// The message box of ShowMessage; returns the answer of the button pressed.
int32_t ShowMessageBox(const Message& message);

}  // namespace qor::gui
