// The help window of the preview: the mouse actions on the page and the range syntax.
#pragma once

#include <QDialog>

#include <array>

class QFrame;
class QLabel;

namespace qor::preview {

// A small modal window on a light yellow background. Its lines are "Label(0)" ..
// "Label(16)" (texts 1030 to 1046), the example boxes "Label(20)" .. "Label(22)", the
// mouse pictures "Img(0)" .. "Img(3)" and the separator "Line1". It closes on a click on
// the window or a line, or on any key that produces a character; pictures and keys
// without a character (arrows, function keys) leave it open.
class FrmPreviewHelp : public QDialog {
    Q_OBJECT

public:
    // Loads the window: captions in the language of the thread's LanguageOffset (Dutch
    // design texts with offset 0), placed centred over `preview` 1580 twips below its top.
    explicit FrmPreviewHelp(QWidget* preview);
    ~FrmPreviewHelp() override;

    // Creates the help window over `preview`, shows it modally and deletes it when it
    // closes. Does nothing when the calling thread already shows one.
    static void ShowModal(QWidget* preview);
    // The open help window of the calling thread, or nullptr.
    static FrmPreviewHelp* Current();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Vertaling();
    void LayoutLines();
    void PlaceOver(QWidget* preview);

    std::array<QLabel*, 23> labels_{};   // 0..16 lines, 20..22 example boxes
    std::array<QLabel*, 4> pictures_{};
    QFrame* line_ = nullptr;
};

}  // namespace qor::preview
