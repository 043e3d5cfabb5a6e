#include "genlib/WindowPart.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

#include <QCoreApplication>
#include <QThread>

#include <qor/RuntimeError.h>

// Weak: present when the window part is linked into the program (or loaded before us).
extern "C" const qor::gui::Api* qor_window_part() __attribute__((weak));

namespace qor::gui {

namespace {

constexpr const char* kWindowPartFile = "libqorprint-gui.so.0";

// The folder of the binary this code is in (the shared library, or the program).
std::filesystem::path OwnFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&OwnFolder), &info) == 0 || info.dli_fname == nullptr) return {};
    return std::filesystem::path(info.dli_fname).parent_path();
}

const Api* Open(std::string& error) {
    if (qor_window_part != nullptr) return qor_window_part();
    std::string path;
    if (const char* chosen = std::getenv("QORPRINT_WINDOW_PART"); chosen != nullptr && *chosen != '\0') {
        path = chosen;
    } else if (const std::filesystem::path folder = OwnFolder(); !folder.empty()) {
        path = (folder / kWindowPartFile).string();
    } else {
        path = kWindowPartFile;
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        error = why != nullptr ? why : path;
        return nullptr;
    }
    using Entry = const Api* (*)();
    auto entry = reinterpret_cast<Entry>(dlsym(handle, "qor_window_part"));
    if (entry == nullptr) {
        error = path + ": no window part entry";
        return nullptr;
    }
    return entry();  // the part stays loaded for the life of the process
}

bool OnThreadOf(const char* applicationClass) {
    QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && app->inherits(applicationClass) && QThread::currentThread() == app->thread();
}

}  // namespace

const Api& Window() {
    static std::once_flag once;
    static const Api* api = nullptr;
    static std::string error;
    std::call_once(once, [] { api = Open(error); });
    if (api == nullptr)
        throw RuntimeError(kErrLoadingLibrary,
                           RuntimeErrorText(kErrLoadingLibrary) + ": the window part " + kWindowPartFile +
                               " could not be loaded (" + error + ")");
    return *api;
}

bool OnGuiThread() { return OnThreadOf("QGuiApplication"); }
bool OnWidgetThread() { return OnThreadOf("QApplication"); }

}  // namespace qor::gui
