// The printing-progress window of the page surface: the printer and its port, the page being
// prepared, and a cancel button. Its texts are the surface's own, in Dutch.
#pragma once

#include <cstdint>
#include <string>

#include <QDialog>

#include "surface/PrintProgress.h"

class QLabel;

namespace qor {

class FrmPrintProgress final : public QDialog, public surface::PrintProgress {
public:
    FrmPrintProgress(const std::string& printer, const std::string& port, int32_t pages);

    bool Page(int32_t page, int32_t pages) override;
    bool Sending() override;

    // Makes the surface show this window while it prints from this thread, when windows
    // may be shown here. Calling it again changes nothing.
    // The window for a print of `pages` pages, or nullptr where no window may be shown.
    static std::unique_ptr<surface::PrintProgress> Make(const std::string& printer, const std::string& port,
                                                        int32_t pages);
    static void Install();

protected:
    void reject() override { cancelled_ = true; }  // Esc and the close button cancel too

private:
    bool Pump();
    QLabel* page_;
    bool cancelled_ = false;
};

}  // namespace qor
