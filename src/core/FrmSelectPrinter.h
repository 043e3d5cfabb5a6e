// The printer dialog: the installed printers (with a chosen paper bin after the field
// separator), a box to keep the choice as the default printer, OK, cancel and a button that
// opens the paper-bin dialog for the selected printer.
#pragma once

#include <optional>
#include <string>

#include <QDialog>

#include "core/PrinterChoice.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace qor {

class PrinterList;

// Child object names: lstPrinters, CheckDefPr, cmdOK, cmdAnn, cmdPapierBak, Label0 (the
// prompt), Label1 (a missing printer's name) and Image1. Drawn at alpha 240 of 255.
// OK (Enter, double click) stores the selected entry in the module state; cancel (Esc, the
// close box) stores the cancelled state (SelectedPrinter "", SelectedBin -1).
class FrmSelectPrinter : public QDialog {
    Q_OBJECT
public:
    // Fills the list and preselects the printer of the composite string `wanted` when it is
    // installed, else the default printer, else the first entry.
    explicit FrmSelectPrinter(const std::string& wanted, QWidget* parent = nullptr);
    ~FrmSelectPrinter() override;

    // Texts of the prompt and of the second label.
    void SetLabels(const std::optional<std::string>& prompt, const std::string& missing);

    void accept() override;
    void reject() override;

private:
    QListWidget* printers_;
    QCheckBox* keepDefault_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* bins_;
    QLabel* prompt_;
    QLabel* missing_;
    QLabel* picture_;
    PrinterList* list_;
};

// Shows the printer dialog modally with a beep, `prompt` replacing its own prompt and
// `missing` in the second label.
void ChoosePrinterWindow(const std::optional<std::string>& prompt, const std::string& missing,
                         const std::string& wanted);

}  // namespace qor
