// ShowMessage: the observer, the message box of the window part and the unattended answer.
#include <qor/GenServices.h>

#include <cstdio>
#include <vector>

#include "genlib/MessageButtons.h"
#include "genlib/WindowPart.h"

namespace qor {

namespace {

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

    if (!Unattended && gui::OnWidgetThread()) {
        answer = gui::Window().ShowMessageBox(message);
    } else {
        WriteToStandardError(message);
        const std::vector<int32_t> answers = MessageAnswers(style);
        answer = answers[DefaultButtonIndex(style, answers.size())];
    }
    return answer;
}

int32_t GenServicesObject::ShowMessage(const std::string& text, int32_t style,
                                       const std::string& title) {
    int32_t answer = 0;
    return ShowMessage(text, style, title, answer);
}

}  // namespace qor
