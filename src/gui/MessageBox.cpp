// The message box of ShowMessage.
#include "gui/WindowEntries.h"

#include <qor/GenServices.h>

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "genlib/MessageButtons.h"

namespace qor::gui {

namespace {

QMessageBox::StandardButton StandardButtonOf(int32_t answer) {
    switch (answer) {
        case kAnswerOk: return QMessageBox::Ok;
        case kAnswerCancel: return QMessageBox::Cancel;
        case kAnswerAbort: return QMessageBox::Abort;
        case kAnswerRetry: return QMessageBox::Retry;
        case kAnswerIgnore: return QMessageBox::Ignore;
        case kAnswerYes: return QMessageBox::Yes;
        default: return QMessageBox::No;
    }
}

// The caption of a button in the user's language; empty keeps Qt's own.
QString CaptionOf(int32_t answer) {
    int32_t id = 0;
    switch (answer) {
        case kAnswerOk: id = 9501; break;
        case kAnswerCancel: id = 9500; break;
        case kAnswerYes: id = 9502; break;
        case kAnswerNo: id = 9503; break;
        default: return QString();
    }
    const std::string text = GenServices().SharedText(id + GenServices().LanguageOffset);
    if (text.empty() || text.front() == '[') return QString();
    return QString::fromStdString(text);
}

}  // namespace

int32_t ShowMessageBox(const Message& message) {
    const std::vector<int32_t> answers = MessageAnswers(message.style);
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
    for (int32_t answer : answers) standard |= StandardButtonOf(answer);
    box.setStandardButtons(standard);
    for (int32_t answer : answers) {
        if (QString caption = CaptionOf(answer); !caption.isEmpty()) box.button(StandardButtonOf(answer))->setText(caption);
    }
    box.setDefaultButton(StandardButtonOf(answers[DefaultButtonIndex(message.style, answers.size())]));
    const int32_t escape = EscapeAnswer(answers);
    box.setEscapeButton(StandardButtonOf(escape));

    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (int32_t answer : answers) {
        if (clicked == box.button(StandardButtonOf(answer))) return answer;
    }
    return escape;
}

}  // namespace qor::gui
