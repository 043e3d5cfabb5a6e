#include "letterheads/FrmLogo.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include <qor/GenServices.h>

namespace qor::letterheads {

namespace {

PictureLoader& ThreadLoader() {
    thread_local PictureLoader loader;
    return loader;
}

// Loads `path` through the thread's loader; a null picture when anything fails.
Picture TryLoad(const std::string& path) {
    try {
        const PictureLoader& loader = ThreadLoader();
        return loader ? loader(path) : Picture::FromFile(path);
    } catch (...) {
        return Picture();
    }
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// `name` starts with `prefix`, ASCII letters compared without regard to case.
bool StartsWithIgnoringCase(std::string_view name, std::string_view prefix) {
    if (name.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Upper(name[i]) != Upper(prefix[i])) return false;
    return true;
}

}  // namespace

FrmLogo& ThreadFrmLogo() {
    thread_local FrmLogo form;
    return form;
}

std::string HeadersFolder() {
    const GenServicesObject& services = GenServices();
    std::string programFolder;
    if (services.UseApplicationFolder && services.RegisteredApplication)
        programFolder = services.RegisteredApplication->Path;
    // Without the flag the original used a fixed folder; here that is DataFolder("").
    std::string folder = services.DataFolder(services.UseApplicationFolder ? programFolder : std::string());
    folder += "/Headers";
    return folder;
}

bool IsSafeKey(std::string_view key) {
    if (key.empty()) return false;
    for (char c : key) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                         c == '_';
        if (!ok) return false;
    }
    return true;
}

std::optional<std::string> FindPicture(const std::string& folder, std::string_view key) {
    if (!IsSafeKey(key)) return std::nullopt;
    std::string prefix = "Header.";
    prefix += key;
    prefix += '.';
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (StartsWithIgnoringCase(name, prefix) && it->is_regular_file(typeError)) names.push_back(name);
    }
    if (names.empty()) return std::nullopt;
    return folder + "/" + *std::min_element(names.begin(), names.end());
}

PictureLoader SetPictureLoader(PictureLoader loader) {
    PictureLoader previous = std::move(ThreadLoader());
    ThreadLoader() = std::move(loader);
    return previous;
}

std::string CachePicture(const std::string& folder, std::string key) {
    FrmLogo& form = ThreadFrmLogo();
    // The caption only ever holds a safe key or "0", so an unsafe key (the empty one of a
    // fresh cache included) never counts as cached.
    if (IsSafeKey(key) && form.Caption == key) return key;
    Picture picture;
    if (const auto file = FindPicture(folder, key)) picture = TryLoad(*file);
    if (picture.IsNull()) {
        picture = TryLoad(folder + "/" + std::string(kFallbackPicture));
        key = "0";
    }
    if (!picture.IsNull()) form.Img = std::move(picture);
    form.Caption = key;
    return key;
}

}  // namespace qor::letterheads
