// The sample letter's logo, drawn when the program runs.
#pragma once

#include <qor/Picture.h>

// A 240 x 240 pixel logo at 300 dpi (about 20 mm square): three overlapping rings.
qor::Picture MakeLogo();
