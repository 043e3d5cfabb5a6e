// The paper-bin dialog: the trays of one printer, "(Automatisch)" first, then an empty
// separator line that cannot be chosen, then the driver's trays (codes 7 and 15 left out).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <QDialog>

#include "core/PrinterChoice.h"

class QListWidget;
class QPushButton;
class QLabel;

namespace qor {

// Child object names: List1 (the bins), cmdAnn (cancel), Image1 and Image2 (pictures).
// A click on a bin (or Enter) hides the dialog with that bin selected; a click on the
// separator line removes the selection and keeps the dialog open; cmdAnn and Esc hide it
// keeping the selection it had.
class FrmPaperBin : public QDialog {
    Q_OBJECT
public:
    explicit FrmPaperBin(const std::vector<BinEntry>& entries, QWidget* parent = nullptr);

    // Selects entry `index` (-1 none).
    void Preselect(int32_t index);
    // The selected entry, -1 when none.
    int32_t Selection() const;
    // Places the window at (x, y) twips on the screen, or to the left of / above that point
    // when it would otherwise come within 400 twips of the screen's right or bottom edge.
    void PlaceAt(int32_t xTwips, int32_t yTwips);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void OnListClicked(int row);

    QListWidget* list_;
    QPushButton* cancel_;
    QLabel* picture_;
    QLabel* trayPicture_;
    int32_t widthTwips_ = 0;
    int32_t heightTwips_ = 0;
};

// Shows the paper-bin dialog modally at the mouse pointer with entry `preselect` selected;
// returns the entry chosen, -1 for none.
int32_t ChoosePaperBinWindow(const std::vector<BinEntry>& entries, int32_t preselect);

}  // namespace qor
