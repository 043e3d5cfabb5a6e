// Shows the preview window with a twelve-page document and saves pictures of it:
//   preview_demo [--outline] OUT.png [HELP.png]
// OUT.png is the window as it opens (whole page); with HELP.png the help window over it is
// saved too. --outline gives the document bookmarks (a quarter per three pages, a month per
// page), shown in the window's outline panel. Run under a display (scripts/screenshot-preview.sh uses Xvfb).
#include <qor/GenServices.h>
#include "core/ModuleState.h"
#include <qor/Preview.h>
#include <qor/VSPrinter.h>

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <string>

#include "core/PreviewHost.h"
#include "preview/FrmPreview.h"
#include "preview/FrmPreviewHelp.h"
#include "surface/DocumentAccess.h"

namespace {

// A twelve-page list of invoices: a title box, column captions, ruled lines.
void MakeInvoiceList(qor::VSPrinter& s, bool outline) {
    const char* months[] = {"January", "February", "March", "April", "May", "June", "July",
                            "August", "September", "October", "November", "December"};
    s.StartDoc();
    int number = 1000;
    for (int page = 1; page <= 12; ++page) {
        if (page > 1) s.NewPage();
        if (outline && page % 3 == 1) qor::surface::AddBookmark(s, 0, "Quarter " + std::to_string(page / 3 + 1), 850);
        if (outline) qor::surface::AddBookmark(s, 1, months[page - 1], 2300);
        s.PenWidth(15);
        s.BrushColor(0xF0E6DC);
        s.DrawRectangle(850, 850, 11056, 1700);
        s.Font().Size = 16;
        s.Font().Bold = true;
        s.CurrentX(1050);
        s.CurrentY(1050);
        s.Text("Invoices 2026");
        s.Font().Size = 9;
        s.Font().Bold = false;
        const char* captions[] = {"Number", "Customer", "Date", "Amount"};
        const double columns[] = {1050, 2400, 7000, 9300};
        for (int c = 0; c < 4; ++c) {
            s.CurrentX(columns[c]);
            s.CurrentY(1950);
            s.Font().Bold = true;
            s.Text(captions[c]);
        }
        s.Font().Bold = false;
        s.DrawLine(850, 2200, 11056, 2200);
        for (int row = 0; row < 48; ++row) {
            const double y = 2300 + row * 280;
            s.CurrentX(columns[0]);
            s.CurrentY(y);
            s.Text(std::to_string(++number));
            s.CurrentX(columns[1]);
            s.CurrentY(y);
            s.Text(row % 3 == 0 ? "Garage Peeters BV" : row % 3 == 1 ? "Boulangerie Dubois" : "Smith & Sons Ltd");
            s.CurrentX(columns[2]);
            s.CurrentY(y);
            s.Text(std::to_string(1 + row % 28) + "/0" + std::to_string(1 + page % 9) + "/2026");
            s.CurrentX(columns[3]);
            s.CurrentY(y);
            s.Text(std::to_string(100 + (number * 37) % 9000) + ",00");
            s.PenWidth(5);
            s.DrawLine(850, y + 250, 11056, y + 250);
        }
        s.CurrentX(9800);
        s.CurrentY(16000);
        s.Text("Page " + std::to_string(page) + " of 12");
    }
    s.EndDoc();
}

}  // namespace

int main(int argc, char** argv) {
    const bool outline = argc > 1 && std::string(argv[1]) == "--outline";
    if (outline) {
        --argc;
        ++argv;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s [--outline] OUT.png [HELP.png]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString helpOut = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    qor::InstallPreviewWindow();
    qor::GenServices().Unattended = false;
    qor::modqorPrintLib().PreviewMode = 1;

    qor::VSPrinter surface;
    MakeInvoiceList(surface, outline);
    qor::PreviewRequest request;
    request.CopiesText = "1";
    request.PrintToolTip = " Send Document to PrinterA";
    request.ZoomMode = 3;

    bool saved = false;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        qor::preview::FrmPreview* window = qor::preview::FrmPreview::Current();
        if (!window || !window->Activated()) return;
        poll.stop();
        QTimer::singleShot(300, window, [&, window] {
            saved = window->grab().save(out);
            if (helpOut.isEmpty()) {
                window->reject();
                return;
            }
            QTimer::singleShot(300, [&, window] {
                if (QWidget* help = qor::preview::FrmPreviewHelp::Current()) {
                    QScreen* screen = help->screen();
                    screen->grabWindow(0).save(helpOut);
                    help->close();
                }
                QTimer::singleShot(100, window, [window] { window->reject(); });
            });
            window->findChild<QToolButton*>("cmdHelp")->click();
        });
    });
    poll.start();
    qor::CurrentPreviewHost()->ShowModal(surface, request);
    if (!saved) {
        std::fprintf(stderr, "preview_demo: no picture saved to %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", argv[1]);
    return 0;
}
