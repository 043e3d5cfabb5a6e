// Services shared by the product line: the language offset and shared texts, the
// millimetre-twips conversion, the message box, key filters for text boxes, screen metrics
// and the folder of the letterhead pictures.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <qor/Application.h>
#include <qor/Variant.h>

namespace qor {

// Message box styles the library uses (the runtime's MsgBox values; buttons + icon +
// default button may be added together).
inline constexpr int32_t kMsgOkOnly = 0;
inline constexpr int32_t kMsgOkCancel = 1;
inline constexpr int32_t kMsgAbortRetryIgnore = 2;
inline constexpr int32_t kMsgYesNoCancel = 3;
inline constexpr int32_t kMsgYesNo = 4;
inline constexpr int32_t kMsgRetryCancel = 5;
inline constexpr int32_t kMsgCritical = 16;
inline constexpr int32_t kMsgQuestion = 32;
inline constexpr int32_t kMsgExclamation = 48;
inline constexpr int32_t kMsgInformation = 64;
inline constexpr int32_t kMsgDefaultButton2 = 256;
inline constexpr int32_t kMsgDefaultButton3 = 512;

// Answers of a message box (the button pressed).
inline constexpr int32_t kAnswerOk = 1;
inline constexpr int32_t kAnswerCancel = 2;
inline constexpr int32_t kAnswerAbort = 3;
inline constexpr int32_t kAnswerRetry = 4;
inline constexpr int32_t kAnswerIgnore = 5;
inline constexpr int32_t kAnswerYes = 6;
inline constexpr int32_t kAnswerNo = 7;

// One message as ShowMessage received it. `text` and `title` are UTF-8, unchanged.
struct Message {
    std::string text;
    int32_t style = 0;
    std::string title;
};

// Sees every message before anything is shown. Returning a value answers the message with
// it (nothing is shown or written); returning std::nullopt lets the message take its normal
// course (a message box, or standard error when unattended).
using MessageObserver = std::function<std::optional<int32_t>(const Message&)>;

// The calling thread's locale name, readable and assignable like a string property:
//   GenServices().Locale = "nl_BE";   std::string name = GenServices().Locale;
// Forwards to qor::SetThreadLocale / qor::ThreadLocale (Locale.h).
class LocaleProperty {
public:
    // Sets the thread's locale for numbers and dates. Throws RuntimeError(5) for a name that
    // names no locale. The language of the texts is not affected (see LanguageOffset).
    LocaleProperty& operator=(const std::string& name);
    LocaleProperty& operator=(const char* name) { return *this = std::string(name ? name : ""); }
    // The thread's locale name, e.g. "nl_BE". Never throws.
    std::string Name() const;
    operator std::string() const { return Name(); }
};

// The services object of one thread. Obtain it with GenServices(); it is created on first use
// and lives until the thread ends. Not to be shared between threads.
class GenServicesObject {
public:
    GenServicesObject();
    GenServicesObject(const GenServicesObject&) = delete;
    GenServicesObject& operator=(const GenServicesObject&) = delete;

    // Added to every text id: 0 Dutch (default), 10000 French, 20000 English. Any other value
    // is accepted; ids that then have no text give placeholders.
    int32_t LanguageOffset = 0;

    // The shared text of `id`, the language offset already added by the caller (9500 Dutch,
    // 19500 French, 29500 English for the cancel caption). An id without a text gives "["
    // followed by the id and "]", e.g. "[39500]". Never throws.
    std::string SharedText(int32_t id) const;

    // Millimetres to twips (1 mm = 1440 / 25.4 twips) and back, in single precision.
    // Throws RuntimeError(6) when the result does not fit in a float.
    float MmToTwips(float mm) const;
    float TwipsToMm(float twips) const;

    // The numeric value of `value`: numbers as they are (Booleans as -1 and 0, Dates as
    // their serial number), Empty and Null as 0, and for a text the number it starts with,
    // read with the thread locale's decimal and grouping characters after leading blanks
    // ("12 pages" gives 12, "1.234,5 EUR" in nl_BE gives 1234.5, "abc" gives 0). A grouping
    // character counts only before three digits. Texts give a Double.
    // Throws RuntimeError(6) when the number does not fit in a Double.
    Variant ToNumber(const Variant& value) const;

    // Shows `text` in a modal message box titled `title` and returns the button pressed,
    // also stored in `answer` (1 OK, 2 Cancel, 6 Yes, 7 No, ...). `style` combines buttons
    // (0 OK, 1 OK/Cancel, 3 Yes/No/Cancel, 4 Yes/No, ...), an icon (16 critical, 32
    // question, 48 warning, 64 information) and the default button (256 second, 512 third);
    // 36 is a Yes/No question whose default is Yes.
    // The message observer (SetMessageObserver) sees it first and may answer it. Otherwise,
    // when Unattended is false, a QApplication exists and this is its thread, a QMessageBox
    // is shown with button captions in the language of LanguageOffset (Esc or closing it
    // answers Cancel, else No, else the first button). Otherwise
    // "title: text" (just the text when the title is empty; carriage returns as line feeds)
    // goes to standard error as one line and the default button is answered.
    // Throws only what the observer throws.
    int32_t ShowMessage(const std::string& text, int32_t style, const std::string& title,
                        int32_t& answer);
    int32_t ShowMessage(const std::string& text, int32_t style = 0,
                        const std::string& title = "");

    // Installs `observer` for this thread's messages (an empty function removes it) and
    // returns the one it replaces. A message shown from inside the observer bypasses it.
    MessageObserver SetMessageObserver(MessageObserver observer);

    // Separator of the parts of a composite printer string ("bin;printer;bin name").
    const std::string FieldSeparator{";"};
    // Placed between the parts of a composed message: an empty line ("\n\n").
    const std::string MessageSeparator{"\n\n"};

    // Number and detail of the last error, handed to the message that reports it.
    int32_t LastErrorNumber = 0;
    std::string LastErrorText;

    // Records the client's application (PrSetUpDLL calls this once). `differs` is true when
    // the client's executable is not the library's own tool. `extra` is unused. Never throws.
    void RegisterApplication(const Application& app, bool differs, const Variant& extra = {});
    // The application last registered, and whether it differs from the library's own tool.
    std::optional<Application> RegisteredApplication;
    bool ApplicationDiffers = false;

    // False while a window loads, true after its first activation; the windows' click and
    // change handlers act only when it is true. Default false.
    bool FormActivated = false;

    // The mouse position on the screen in twips along "X" or "Y" (any case); 0 when there is
    // no GUI or this is not the GUI thread. Throws RuntimeError(5) for another axis.
    int32_t ScreenPoint(const std::string& axis) const;

    // The screen area available to windows, in twips: left, top, right and bottom edges and
    // (fields 5 and 6) its width and height. Without a GUI (or off the GUI thread) a
    // 1920 x 1080 pixel screen at 96 dpi: 0, 0, 28800, 16200, 28800, 16200. Never throws.
    void WindowArea(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom,
                    int32_t& width, int32_t& height) const;

    // Key filter for text boxes: returns `character` when it belongs to `classes`, else 0.
    // In `classes` the letter "C" stands for the digits 0-9 and every other character for
    // itself ("C-," allows digits, minus and comma). Control characters (backspace, tab,
    // Enter, Esc, ...) always pass so that the box stays editable. Never throws.
    int16_t FilterKey(int16_t character, const std::string& classes) const;

    // Steps the whole number in `text` by one: up for key code 38, down for 40; any other key
    // leaves `text` alone. The number is ToNumber(text) rounded half to even; the result is
    // kept within [min, max], a missing min counting as 0 and a missing max as no bound.
    // Throws what ToNumber throws.
    void SpinKey(int32_t keyCode, std::string& text, std::optional<int32_t> min = std::nullopt,
                 std::optional<int32_t> max = std::nullopt) const;

    // True skips the report's check that its columns fill the line. Default false.
    bool NoLayoutCheck = false;

    // True: letterhead pictures are found under DataFolder(client application's folder);
    // false (default): under DataFolder("").
    bool UseApplicationFolder = false;

    // The folder that holds the Headers folder of the letterhead pictures. The environment
    // variable QORPRINT_DATA_DIR, when set and not empty, wins; otherwise `folder` when it
    // is not empty; otherwise the per-user data folder (~/.local/share/qorprint, or under
    // XDG_DATA_HOME). No trailing "/". Never throws.
    std::string DataFolder(const std::string& folder) const;

    // True when no window may be shown: message boxes answer their default button and
    // write their text to standard error, dialogs accept their preselection, the preview
    // closes at once. Default: true when QORPRINT_UNATTENDED is "1", false when it is "0",
    // otherwise true when there is no display (neither DISPLAY nor WAYLAND_DISPLAY set, or
    // QT_QPA_PLATFORM "offscreen" or "minimal").
    bool Unattended = false;

    // The calling thread's locale for numbers and dates (see LocaleProperty).
    LocaleProperty Locale;

private:
    MessageObserver observer_;
    bool inObserver_ = false;
};

// The calling thread's services object, created on first use.
GenServicesObject& GenServices();

// Installs a message observer for the calling thread for the lifetime of the object and
// puts the previous one back afterwards. Handy in tests:
//   std::vector<qor::Message> seen;
//   qor::ScopedMessageObserver watch([&](const qor::Message& m) {
//       seen.push_back(m); return std::optional<int32_t>(qor::kAnswerNo); });
class ScopedMessageObserver {
public:
    explicit ScopedMessageObserver(MessageObserver observer)
        : previous_(GenServices().SetMessageObserver(std::move(observer))) {}
    ~ScopedMessageObserver() { GenServices().SetMessageObserver(std::move(previous_)); }
    ScopedMessageObserver(const ScopedMessageObserver&) = delete;
    ScopedMessageObserver& operator=(const ScopedMessageObserver&) = delete;

private:
    MessageObserver previous_;
};

}  // namespace qor
