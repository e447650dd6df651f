#include "DialogForm.h"

#include "ControlIds.h"
#include "TextMark.h"
#include "WindowLinks.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

using namespace ControlIds;

namespace {

constexpr std::array kMainControls{
    FormControl{
        ID_NONE, ControlKind::Text, "targetLabel", Translatable("目标文件:"), {15, 62, 36, 8}, 0},
    FormControl{IDC_TARGET_PATH, ControlKind::Edit, "targetPath", "", {58, 60, 382, 14}, kReadOnly},
    FormControl{
        IDC_BROWSE_TARGET, ControlKind::Button, "browseTarget", "...", {440, 60, 28, 14}, 0},
    FormControl{IDC_FILE_LIST, ControlKind::ListView, "fileList", "", {16, 87, 452, 144}, 0},
    FormControl{IDC_PROGRESS, ControlKind::Progress, "progress", "", {15, 245, 453, 12}, 0},
    FormControl{
        IDC_START, ControlKind::Button, "start", Translatable("确定"), {212, 267, 50, 14}, 0},
    FormControl{IDC_STOP, ControlKind::Button, "stop", Translatable("停止"), {335, 267, 50, 14}, 0},
    FormControl{IDC_ADD_FILE,
                ControlKind::Button,
                "addFile",
                Translatable("添加文件"),
                {99, 268, 50, 14},
                0},
    FormControl{ID_NONE, ControlKind::Picture, "banner", "", {0, 0, 476, 55}, 0},
    FormControl{IDC_LINK_SOFTSITE,
                ControlKind::Text,
                "linkSoftSite",
                WindowLinks::kSoftSiteText,
                {17, 291, 93, 12},
                0},
    FormControl{IDC_LINK_HOME,
                ControlKind::Text,
                "linkHome",
                WindowLinks::kHomeText,
                {176, 291, 93, 12},
                0},
    FormControl{ID_NONE,
                ControlKind::Text,
                "contact",
                Translatable("QQ: 00000000  电话: 000-00000000"),
                {335, 292, 134, 11},
                0},
};

constexpr std::array kAboutControls{
    FormControl{ID_NONE, ControlKind::Icon, "icon", "", {11, 17, 20, 20}, 0},
    FormControl{ID_NONE,
                ControlKind::Text,
                "toolName",
                Translatable("多文件合并工具"),
                {69, 13, 62, 8},
                kNoPrefix},
    FormControl{ID_NONE,
                ControlKind::Text,
                "series",
                Translatable("Orvik软件免费工具系列"),
                {57, 32, 90, 8},
                0},
    FormControl{
        ID_OK, ControlKind::Button, "ok", Translatable("OK"), {178, 19, 50, 16}, kDefaultButton},
};

const DialogForm kMain{IDD_MAIN, Translatable("Veltrane- Orvik软件-多文件合并"), 477, 306,
                       kMainControls};
const DialogForm kAbout{IDD_ABOUTBOX, Translatable("关于Orvik软件免费工具"), 235, 55,
                        kAboutControls};

template <typename Match> const FormControl& findControl(const DialogForm& form, Match match) {
    const auto found = std::find_if(form.controls.begin(), form.controls.end(), match);
    if (found == form.controls.end()) {
        throw std::out_of_range("no such control in the dialog");
    }
    return *found;
}

} // namespace

const FormControl& DialogForm::control(int controlId) const {
    return findControl(*this, [controlId](const FormControl& c) { return c.id == controlId; });
}

const FormControl& DialogForm::control(const char* controlName) const {
    const std::string_view wanted(controlName);
    return findControl(*this, [wanted](const FormControl& c) { return c.name == wanted; });
}

const DialogForm& DialogForms::Main() {
    return kMain;
}

const DialogForm& DialogForms::About() {
    return kAbout;
}
