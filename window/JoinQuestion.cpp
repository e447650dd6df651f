#include "JoinQuestion.h"

#include "FindingText.h"
#include "TextFill.h"
#include "TextMark.h"

#include <algorithm>

std::vector<std::string> JoinQuestion::Lines(const std::vector<JoinFinding>& findings,
                                             const Quote& quote, const Translate& translate) {
    const std::size_t shown = std::min(findings.size(), kMostFindingsShown);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < shown; ++i) {
        lines.push_back(FindingText(findings[i], quote, translate));
    }
    if (findings.size() > shown) {
        lines.push_back(TextFill::Fill(translate(Translatable("and %s more")),
                                       {std::to_string(findings.size() - shown)}));
    }
    lines.emplace_back(translate(Translatable("Join anyway?")));
    return lines;
}
