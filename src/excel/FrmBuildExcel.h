// frmBuildExcel: the small window shown while InitPrinter prepares a spreadsheet export.
#pragma once

#include <functional>
#include <string>

#include <QDialog>

namespace qor {

// Shows a picture and the text that the export is being prepared. Once shown it runs
// `prepare` and stays until kMinimumShownMs have passed since it was painted (when
// `prepare` returns true), then closes itself. The user cannot close it.
class FrmBuildExcel final : public QDialog {
public:
    static constexpr int kMinimumShownMs = 1500;

    explicit FrmBuildExcel(std::function<bool()> prepare);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override {}  // Esc and the close button do nothing

private:
    void Activate();
    std::function<bool()> prepare_;
    bool activated_ = false;
};

// Shows the window modally; it runs `prepare` once on the screen.
void ShowBuildExcelWindow(const std::function<bool()>& prepare);
// Opens `file` with the desktop's application for it (needs a QGuiApplication); false when
// none could be started.
bool OpenUrlWithDesktop(const std::string& file);

}  // namespace qor
