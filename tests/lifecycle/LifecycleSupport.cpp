#include "lifecycle/LifecycleSupport.h"

#include <cups/cups.h>

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace qor::test {

std::vector<int32_t> JobIds(const std::string& printer) {
    std::vector<int32_t> ids;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
    if (!http) return ids;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    char uri[HTTP_MAX_URI];
    std::snprintf(uri, sizeof uri, "ipp://localhost/printers/%s", printer.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-id");
    ipp_t* response = cupsDoRequest(http, request, "/");
    if (response) {
        for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
            const char* name = ippGetName(a);
            if (name && std::string(name) == "job-id") ids.push_back(ippGetInteger(a, 0));
        }
    }
    ippDelete(response);
    httpClose(http);
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<int32_t> JobsAfter(const std::string& printer, int32_t after) {
    std::vector<int32_t> ids = JobIds(printer);
    ids.erase(std::remove_if(ids.begin(), ids.end(), [after](int32_t id) { return id <= after; }), ids.end());
    return ids;
}

int32_t LastJob(const std::string& printer) {
    const std::vector<int32_t> ids = JobIds(printer);
    return ids.empty() ? 0 : ids.back();
}

int PdfPages(const std::string& file) {
    const std::string command = "pdfinfo '" + file + "' 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return -1;
    char line[512];
    int pages = -1;
    while (std::fgets(line, sizeof line, pipe)) {
        if (std::sscanf(line, "Pages: %d", &pages) == 1) break;
    }
    ::pclose(pipe);
    return pages;
}

TempFolder::TempFolder() {
    char pattern[] = "/tmp/qor-lifecycle-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    path_ = made ? made : "";
}

TempFolder::~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

namespace {

// Rejects `window` when it still exists and is shown.
void Close(const QPointer<QWidget>& window) {
    if (!window || !window->isVisible()) return;
    if (auto* dialog = qobject_cast<QDialog*>(window.data())) dialog->reject();
    else window->close();
}

}  // namespace

void OnModal(const QString& objectName, std::function<void(QWidget*)> check, double seconds) {
    auto* timer = new QTimer(qApp);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, objectName, check, deadline, seconds] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == objectName && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            QPointer<QWidget> window(modal);
            // The watchdog: a check that failed before closing the window must not hang exec().
            QTimer::singleShot(static_cast<int>(seconds * 1000), qApp, [window, objectName] {
                if (window && window->isVisible()) {
                    ADD_FAILURE() << objectName.toStdString() << " was left open by its check";
                    Close(window);
                }
            });
            check(modal);
            return;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << objectName.toStdString() << " did not appear";
            if (modal) Close(QPointer<QWidget>(modal));
        }
    });
    timer->start();
}

ModalSpy::ModalSpy() : timer_(new QTimer) {
    timer_->setInterval(10);
    QObject::connect(timer_, &QTimer::timeout, timer_, [this] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen_.push_back(modal->objectName().toStdString());
            Close(QPointer<QWidget>(modal));
        }
    });
    timer_->start();
}

ModalSpy::~ModalSpy() { delete timer_; }

void AcceptPrinterDialog() {
    OnModal(QStringLiteral("FrmSelectPrinter"), [](QWidget* window) {
        auto* ok = window->findChild<QPushButton*>(QStringLiteral("cmdOK"));
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton);
    });
}

void ClickRow(QWidget* window, const char* name, int row) {
    auto* list = window->findChild<QListWidget*>(QString::fromLatin1(name));
    ASSERT_NE(list, nullptr) << name;
    ASSERT_LT(row, list->count()) << name;
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(item).center());
}

}  // namespace qor::test
