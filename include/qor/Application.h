// The description of a client program that PrSetUpDLL receives.
#pragma once

#include <string>

namespace qor {

// The client's application: its executable name without folder or extension (e.g.
// "myapp") and the folder it runs from (e.g. "/opt/myapp"). The letterhead pictures are
// looked up relative to `Path` when GenServices().UseApplicationFolder is true.
struct Application {
    std::string EXEName;
    std::string Path;

    friend bool operator==(const Application&, const Application&) = default;
};

}  // namespace qor
