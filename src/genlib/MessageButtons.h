// The buttons of a message box style, as the answers they give.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qor {

// The answers of the buttons of `style` (its low three bits), in the order the runtime numbers
// them for the default button: OK; OK, Cancel; Abort, Retry, Ignore; Yes, No, Cancel; Yes, No;
// Retry, Cancel.
std::vector<int32_t> MessageAnswers(int32_t style);

// Index of the default button of `style` among `count` buttons (the first when the style names
// a button that is not there).
std::size_t DefaultButtonIndex(int32_t style, std::size_t count);

// The answer of Esc or of closing the box: Cancel where there is one, else No, else the first
// button.
int32_t EscapeAnswer(const std::vector<int32_t>& answers);

}  // namespace qor
