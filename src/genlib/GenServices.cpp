#include <qor/GenServices.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include <QStandardPaths>

#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include "genlib/TextTable.h"

namespace qor {

namespace detail {
extern const unsigned char kSharedTexts[];
extern const std::size_t kSharedTextsSize;

const TextTable& SharedTexts() {
    static const TextTable table(
        std::string_view(reinterpret_cast<const char*>(kSharedTexts), kSharedTextsSize),
        "shared_texts.tsv");
    return table;
}
}  // namespace detail

namespace {

constexpr double kTwipsPerMm = 1440.0 / 25.4;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool NoDisplay() {
    const std::string platform = Env("QT_QPA_PLATFORM");
    if (platform == "offscreen" || platform == "minimal") return true;
    return Env("DISPLAY").empty() && Env("WAYLAND_DISPLAY").empty();
}

float ToSingleChecked(double value) {
    if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
    if (std::fabs(value) > std::numeric_limits<float>::max()) throw RuntimeError(kErrOverflow);
    return static_cast<float>(value);
}

}  // namespace

LocaleProperty& LocaleProperty::operator=(const std::string& name) {
    SetThreadLocale(name);
    return *this;
}

std::string LocaleProperty::Name() const { return ThreadLocale().name; }

GenServicesObject::GenServicesObject() {
    const std::string unattended = Env("QORPRINT_UNATTENDED");
    if (unattended == "1") {
        Unattended = true;
    } else if (unattended == "0") {
        Unattended = false;
    } else {
        Unattended = NoDisplay();
    }
}

GenServicesObject& GenServices() {
    thread_local GenServicesObject services;
    return services;
}

std::string GenServicesObject::SharedText(int32_t id) const {
    if (auto text = detail::SharedTexts().Find(id)) return std::string(*text);
    return std::string("[").append(std::to_string(id)).append("]");
}

float GenServicesObject::MmToTwips(float mm) const {
    return ToSingleChecked(static_cast<double>(mm) * kTwipsPerMm);
}

float GenServicesObject::TwipsToMm(float twips) const {
    return ToSingleChecked(static_cast<double>(twips) / kTwipsPerMm);
}

MessageObserver GenServicesObject::SetMessageObserver(MessageObserver observer) {
    MessageObserver previous = std::move(observer_);
    observer_ = std::move(observer);
    return previous;
}

void GenServicesObject::RegisterApplication(const Application& app, bool differs, const Variant&) {
    RegisteredApplication = app;
    ApplicationDiffers = differs;
}

std::string GenServicesObject::DataFolder(const std::string& folder) const {
    std::string result = Env("QORPRINT_DATA_DIR");
    if (result.empty()) result = folder;
    if (result.empty()) {
        result = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
        if (result.empty()) result = Env("HOME") + "/.local/share";
        result += "/qorprint";
    }
    while (result.size() > 1 && result.back() == '/') result.pop_back();
    return result;
}

}  // namespace qor
