// Driving modal windows from a test: act on a window once it is shown, note and close
// windows that should not appear, click list rows, let the event loop run.
#pragma once

#include <functional>
#include <string>
#include <vector>

class QTimer;
class QWidget;

namespace qor::test {

// Runs `action` on the modal window named `objectName` ("" for any) once it is active; call
// it before the step that opens the window. A window that does not appear within `seconds`,
// or that `action` leaves open that long, fails the test and is rejected.
void WhenModal(const std::string& objectName, std::function<void(QWidget*)> action, double seconds = 10);

// While it lives, notes the name of every modal window shown and closes it at once.
class ModalSpy {
public:
    ModalSpy();
    ~ModalSpy();
    ModalSpy(const ModalSpy&) = delete;
    ModalSpy& operator=(const ModalSpy&) = delete;
    const std::vector<std::string>& Seen() const { return seen_; }
private:
    std::vector<std::string> seen_;
    QTimer* timer_;
};

// For a whole test binary: a modal window left open for `seconds` fails the running test
// and is closed. Needs a QApplication.
void GuardModalWindows(int seconds = 30);
// Rejects (or closes) every open modal window, innermost first.
void CloseAllModal();
// Clicks row `row` of the list widget named `name` inside `window`.
void ClickRow(QWidget* window, const char* name, int row);
// Lets the event loop run for at least `ms` milliseconds.
void Pump(int ms = 20);

}  // namespace qor::test
