#include "CheckText.h"

#include "TextFill.h"
#include "TextMark.h"

std::vector<std::string> CheckText::MismatchLines(const RunMessage& message, const Quote& quote,
                                                  const Translate& translate) {
    return {TextFill::Fill(translate(Translatable("校验和文件：%s")), {quote(message.otherPath)}),
            TextFill::Fill(translate(Translatable("应为：%s")), {message.expected}),
            TextFill::Fill(translate(Translatable("实为：%s")), {message.actual})};
}

std::string CheckText::OutcomeText(RunOutcome outcome, const std::string& checksumFile,
                                   const Quote& quote, const Translate& translate) {
    const char* line = OutcomeLine(outcome);
    if (line == nullptr) {
        return {};
    }
    return outcome == RunOutcome::Checked ? TextFill::Fill(translate(line), {quote(checksumFile)})
                                          : translate(line);
}
