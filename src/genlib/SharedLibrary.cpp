#include "genlib/SharedLibrary.h"

#include <dlfcn.h>

#include <cstdlib>

namespace qor::genlib {

namespace {

[[noreturn]] void LoadingFailed(const std::string& what) {
    throw RuntimeError(kErrLoadingLibrary, RuntimeErrorText(kErrLoadingLibrary) + ": " + what);
}

}  // namespace

SharedLibrary::SharedLibrary(const char* soname, const char* overrideVariable) : file_(soname) {
    if (const char* chosen = std::getenv(overrideVariable); chosen != nullptr && *chosen != '\0') file_ = chosen;
    handle_ = dlopen(file_.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        LoadingFailed(file_ + " could not be loaded (" + (why != nullptr ? why : "no reason given") + ")");
    }
}

SharedLibrary::~SharedLibrary() {
    if (!keep_) dlclose(handle_);
}

void* SharedLibrary::Symbol(const char* name) const {
    void* address = dlsym(handle_, name);
    if (address == nullptr) LoadingFailed(file_ + " has no function " + name);
    return address;
}

}  // namespace qor::genlib
