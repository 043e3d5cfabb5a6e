// A spinner without a box of its own: two small arrow buttons stacked, as placed beside a
// text box.
#pragma once

#include <QWidget>

class QToolButton;

namespace qor::preview {

// The buttons are the children "Up" and "Down"; each click emits the matching signal.
class UpDown : public QWidget {
    Q_OBJECT

public:
    explicit UpDown(QWidget* parent = nullptr);

signals:
    void UpClicked();
    void DownClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace qor::preview
