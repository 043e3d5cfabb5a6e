// The interactive preview window of the library.
#pragma once

class QCoreApplication;

namespace qor {

// Makes PrEndDoc (and PrResource) show documents in the library's preview window: paging,
// zoom, page range, copies, printing and saving as PDF, with its help window. The shared
// library libqorprint installs it by itself; a program linking the static subsystem
// libraries calls this once before its first document. Calling it again changes nothing.
//
// The window is shown only where a window may be shown: on the thread of the program's
// QApplication and while GenServices().Unattended is false. Everywhere else the document
// is answered as a user closing the window at once (nothing printed) would, and in PDF
// mode it is written to PdfExportFile. Never throws.
void InstallPreviewWindow();

// A QApplication for a program that wants the library's windows but has no application
// object of its own (a program that has one never needs this). The library's windows and
// screen painting live in a part of their own, libqorprint-gui, loaded the first time they
// are needed: this loads it. The caller owns the object. Throws RuntimeError(48) when the
// window part cannot be loaded.
QCoreApplication* CreateWindowApplication(int& argc, char** argv);

}  // namespace qor
