// ShowMessage: the observer, the Qt message box and the unattended answer.
#include <qor/GenServices.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

namespace qor {

namespace {

struct ButtonSpec {
    int32_t answer;
    QMessageBox::StandardButton standard;
    int32_t sharedTextId;  // caption in the user's language; 0 keeps Qt's own
};

// The buttons of a style, in the order the runtime numbers them for the default button.
std::vector<ButtonSpec> ButtonsOf(int32_t style) {
    const ButtonSpec ok{kAnswerOk, QMessageBox::Ok, 9501};
    const ButtonSpec cancel{kAnswerCancel, QMessageBox::Cancel, 9500};
    const ButtonSpec yes{kAnswerYes, QMessageBox::Yes, 9502};
    const ButtonSpec no{kAnswerNo, QMessageBox::No, 9503};
    switch (style & 0x7) {
        case kMsgOkCancel: return {ok, cancel};
        case kMsgAbortRetryIgnore:
            return {{kAnswerAbort, QMessageBox::Abort, 0},
                    {kAnswerRetry, QMessageBox::Retry, 0},
                    {kAnswerIgnore, QMessageBox::Ignore, 0}};
        case kMsgYesNoCancel: return {yes, no, cancel};
        case kMsgYesNo: return {yes, no};
        case kMsgRetryCancel: return {{kAnswerRetry, QMessageBox::Retry, 0}, cancel};
        default: return {ok};
    }
}

std::size_t DefaultIndex(int32_t style, std::size_t count) {
    std::size_t index = 0;
    if (style & kMsgDefaultButton3) {
        index = 2;
    } else if (style & kMsgDefaultButton2) {
        index = 1;
    }
    return index < count ? index : 0;
}

QString CaptionOf(const ButtonSpec& button) {
    if (button.sharedTextId == 0) return QString();
    const std::string text = GenServices().SharedText(button.sharedTextId + GenServices().LanguageOffset);
    if (text.empty() || text.front() == '[') return QString();
    return QString::fromStdString(text);
}

bool CanShowWindow() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app != nullptr && QThread::currentThread() == app->thread();
}

int32_t ShowBox(const Message& message, const std::vector<ButtonSpec>& buttons,
                std::size_t defaultIndex) {
    QMessageBox box;
    switch (message.style & 0x70) {
        case kMsgCritical: box.setIcon(QMessageBox::Critical); break;
        case kMsgQuestion: box.setIcon(QMessageBox::Question); break;
        case kMsgExclamation: box.setIcon(QMessageBox::Warning); break;
        case kMsgInformation: box.setIcon(QMessageBox::Information); break;
        default: box.setIcon(QMessageBox::NoIcon); break;
    }
    QString title = QString::fromStdString(message.title);
    if (title.isEmpty()) {
        const auto& app = GenServices().RegisteredApplication;
        title = app ? QString::fromStdString(app->EXEName) : QCoreApplication::applicationName();
    }
    box.setWindowTitle(title);
    QString text = QString::fromStdString(message.text);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(text);
    box.setObjectName(QStringLiteral("qorMessageBox"));

    QMessageBox::StandardButtons standard;
    for (const auto& button : buttons) standard |= button.standard;
    box.setStandardButtons(standard);
    for (const auto& button : buttons) {
        if (QString caption = CaptionOf(button); !caption.isEmpty()) box.button(button.standard)->setText(caption);
    }
    box.setDefaultButton(buttons[defaultIndex].standard);
    // Esc, or closing the box, answers Cancel where there is one, else No, else the first
    // button.
    const ButtonSpec* escape = &buttons.front();
    for (auto wanted : {kAnswerCancel, kAnswerNo}) {
        auto it = std::find_if(buttons.begin(), buttons.end(),
                               [wanted](const ButtonSpec& button) { return button.answer == wanted; });
        if (it != buttons.end()) {
            escape = &*it;
            break;
        }
    }
    box.setEscapeButton(escape->standard);

    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const auto& button : buttons) {
        if (clicked == box.button(button.standard)) return button.answer;
    }
    return escape->answer;
}

void WriteToStandardError(const Message& message) {
    std::string line = message.title.empty() ? message.text : message.title + ": " + message.text;
    std::string out;
    out.reserve(line.size() + 1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\r') {
            out += '\n';
            if (i + 1 < line.size() && line[i + 1] == '\n') ++i;
        } else {
            out += line[i];
        }
    }
    out += '\n';
    std::fwrite(out.data(), 1, out.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

int32_t GenServicesObject::ShowMessage(const std::string& text, int32_t style,
                                       const std::string& title, int32_t& answer) {
    const Message message{text, style, title};
    if (observer_ && !inObserver_) {
        inObserver_ = true;
        std::optional<int32_t> given;
        try {
            given = observer_(message);
        } catch (...) {
            inObserver_ = false;
            throw;
        }
        inObserver_ = false;
        if (given) {
            answer = *given;
            return answer;
        }
    }

    const std::vector<ButtonSpec> buttons = ButtonsOf(style);
    const std::size_t defaultIndex = DefaultIndex(style, buttons.size());
    if (!Unattended && CanShowWindow()) {
        answer = ShowBox(message, buttons, defaultIndex);
    } else {
        WriteToStandardError(message);
        answer = buttons[defaultIndex].answer;
    }
    return answer;
}

int32_t GenServicesObject::ShowMessage(const std::string& text, int32_t style,
                                       const std::string& title) {
    int32_t answer = 0;
    return ShowMessage(text, style, title, answer);
}

}  // namespace qor
