// The library's window part: everything that needs Qt's GUI and Widgets libraries (message
// boxes, dialogs, the preview, painting pages on a screen or into a PNG, rich text layout and
// picture decoding) lives in libqorprint-gui, which the library opens the first time one of
// those is needed. A PDF, a print job or a report never loads it.
//
// The window part hands the rest of the library one table of entry points. Programs linking
// the static subsystem libraries link the window part's table in directly.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <qor/Picture.h>

class QCoreApplication;
class QPainter;

namespace qor {

struct Message;
class VSPrinter;
struct PreviewOutcome;
struct PreviewRequest;

namespace surface { class PrintProgress; }

namespace gui {

// Geometry of the primary screen, in pixels, with its logical resolution. The defaults stand
// where there is no screen or it tells no available area.
struct ScreenInfo {
    int32_t cursorX = 0, cursorY = 0;
    int32_t left = 0, top = 0, width = 1920, height = 1080;  // the available area
    double dpiX = 96, dpiY = 96;
};

struct Api {
    // Message box of `message`; returns the answer of the button pressed (or of closing).
    int32_t (*ShowMessageBox)(const Message& message);
    // The wait cursor over the whole application (true), or the normal one again.
    void (*SetWaitCursor)(bool busy);
    void (*Beep)();
    // The primary screen; false when there is none.
    bool (*PrimaryScreen)(ScreenInfo& screen);
    // The printer dialog and the paper-bin dialog, shown modally.
    void (*ChoosePrinterWindow)(const std::optional<std::string>& prompt, const std::string& missing,
                                const std::string& wanted);
    // Returns the entry (text, bin code) chosen in the paper-bin dialog, -1 for none.
    int32_t (*ChoosePaperBin)(const std::vector<std::pair<std::string, int32_t>>& entries,
                              int32_t preselect);
    // The printing-progress window.
    std::unique_ptr<surface::PrintProgress> (*MakePrintProgress)(const std::string& printer,
                                                                 const std::string& port, int32_t pages);
    // The preview window over an ended document, shown modally.
    PreviewOutcome (*ShowPreview)(VSPrinter& surface, const PreviewRequest& request);
    // The small window shown while a spreadsheet export is prepared; runs `prepare` once shown.
    void (*ShowBuildExcel)(const std::function<bool()>& prepare);
    // Opens `file` with the desktop's application for it; false when none could be started.
    bool (*OpenWithDesktop)(const std::string& file);
    // Rich text and text files laid out on the surface.
    void (*TextRtf)(VSPrinter& surface, std::string_view rtf);
    void (*PrintFile)(VSPrinter& surface, const std::string& bytes);  // the bytes of the file
    // Pages painted with Qt.
    void (*PaintPage)(QPainter& painter, const VSPrinter& surface, int32_t page, double pixelsPerTwip);
    void (*SavePagePng)(const VSPrinter& surface, int32_t page, const std::string& file, double dpi);
    // Picture file bytes decoded into pixels (the implementation of Picture's loader).
    bool (*DecodePicture)(std::string_view bytes, Picture::Impl& picture);
    // A QApplication for a program that has none.
    QCoreApplication* (*CreateApplication)(int& argc, char** argv);
};

// The window part's table, opened on first use. Throws RuntimeError(48) when the window part
// cannot be loaded.
const Api& Window();

// True when a QGuiApplication (or QApplication) runs and this is its thread: the cursor, the
// screen and painting are reachable. Loads nothing.
bool OnGuiThread();
// True when a QApplication runs and this is its thread: windows can be shown. Loads nothing.
bool OnWidgetThread();

}  // namespace gui
}  // namespace qor

// The window part's entry point; defined only in the window part.
extern "C" const qor::gui::Api* qor_window_part();
