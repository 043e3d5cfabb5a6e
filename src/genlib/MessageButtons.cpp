#include "genlib/MessageButtons.h"

#include <algorithm>

#include <qor/GenServices.h>

namespace qor {

std::vector<int32_t> MessageAnswers(int32_t style) {
    switch (style & 0x7) {
        case kMsgOkCancel: return {kAnswerOk, kAnswerCancel};
        case kMsgAbortRetryIgnore: return {kAnswerAbort, kAnswerRetry, kAnswerIgnore};
        case kMsgYesNoCancel: return {kAnswerYes, kAnswerNo, kAnswerCancel};
        case kMsgYesNo: return {kAnswerYes, kAnswerNo};
        case kMsgRetryCancel: return {kAnswerRetry, kAnswerCancel};
        default: return {kAnswerOk};
    }
}

std::size_t DefaultButtonIndex(int32_t style, std::size_t count) {
    std::size_t index = 0;
    if (style & kMsgDefaultButton3) {
        index = 2;
    } else if (style & kMsgDefaultButton2) {
        index = 1;
    }
    return index < count ? index : 0;
}

int32_t EscapeAnswer(const std::vector<int32_t>& answers) {
    for (int32_t wanted : {kAnswerCancel, kAnswerNo}) {
        if (std::find(answers.begin(), answers.end(), wanted) != answers.end()) return wanted;
    }
    return answers.front();
}

}  // namespace qor
