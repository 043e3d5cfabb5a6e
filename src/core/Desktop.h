// What the lifecycle and the printer windows need from the desktop: whether a window may be
// shown, the busy pointer, the beep, and the per-user place of the default PDF file.
#pragma once

#include <string>

namespace qor {

// True when this thread may show a modal window: not unattended, a QApplication exists and
// this is its thread. Everywhere else windows answer as a user accepting their defaults.
bool CanShowWindows();

// Shows the busy pointer (Qt's wait cursor) when this is the GUI thread. Calling it while
// the pointer is already busy changes nothing, so one RestorePointer always undoes it.
void SetBusyPointer();
// Puts the pointer back when SetBusyPointer changed it; otherwise does nothing.
void RestorePointer();
// True between SetBusyPointer (on the GUI thread) and RestorePointer.
bool PointerIsBusy();

// Shows the busy pointer for the life of the object and puts it back however the scope is
// left, an exception included. Like RestorePointer it also ends a busy pointer that was
// already on when the guard was made.
class BusyPointer {
public:
    BusyPointer() { SetBusyPointer(); }
    ~BusyPointer() { RestorePointer(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// The system beep (heard when this is the GUI thread of a QApplication), counted per thread.
void Beep();
// How often this thread has beeped.
int BeepCount();

// Where a PDF goes when the client names none: Document.pdf in the user's documents folder,
// or in the home folder when there is no documents folder.
std::string DefaultPdfFile();

// Makes printing with AbortWindow on show the printing-progress window where windows may be
// shown (the window part is loaded then).
void InstallPrintProgress();

}  // namespace qor
