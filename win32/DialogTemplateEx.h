#pragma once

#include <vector>
#include <windows.h>

struct DialogForm;

// An extended dialog template in memory, laid out as a resource compiler would from the form:
// the shell's dialog font, the controls in the form's order, the banner and the icon named by
// their resource numbers.
class DialogTemplateEx final {
public:
    explicit DialogTemplateEx(const DialogForm& form);

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void AddDialogHeader(const DialogForm& form);
    void AddWord(WORD word) { m_words.push_back(word); }
    void AddDword(DWORD dword);
    void AddText(const wchar_t* text);
    void AddUtf8(const char* text);
    void AlignToDword();

    std::vector<WORD> m_words;
};
