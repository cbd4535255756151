// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui_test_support.h"

#include "ui/settings_sheet.h"

#include <cstdio>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/xrc/xmlres.h>

// Last: X's macros (None, Status) would clash with the names above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace calvex::test {

void PumpPending()
{
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    while (loop && loop->Pending())
        loop->Dispatch();
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
}

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        PumpPending();
        if (wxEventLoopBase* loop = wxEventLoopBase::GetActive())
            loop->DispatchTimeout(10);
    }
    return true;
}

void Click(wxWindow* control)
{
    if (auto* box = dynamic_cast<wxCheckBox*>(control)) {
        box->SetValue(!box->GetValue());
        wxCommandEvent click(wxEVT_CHECKBOX, box->GetId());
        click.SetInt(box->GetValue() ? 1 : 0);
        click.SetEventObject(box);
        box->ProcessWindowEvent(click);
        return;
    }
    ASSERT_TRUE(control->IsEnabled()) << "clicked a disabled control";
    wxCommandEvent click(wxEVT_BUTTON, control->GetId());
    click.SetEventObject(control);
    control->ProcessWindowEvent(click);
}

void ChooseMenuCommand(wxWindow* frame, const char* xrcName)
{
    wxCommandEvent command(wxEVT_MENU, XRCID(xrcName));
    command.SetEventObject(frame);
    frame->ProcessWindowEvent(command);
}

void PressKey(wxWindow* window, int keyCode)
{
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = keyCode;
    key.SetEventObject(window);
    window->ProcessWindowEvent(key);
}

bool RealClick(wxPoint screenPosition)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XTestFakeMotionEvent(display, -1, screenPosition.x, screenPosition.y, 0);
    XTestFakeButtonEvent(display, 1, True, 0);
    XTestFakeButtonEvent(display, 1, False, 0);
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

bool RealKeyPress(const char* keyName)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keyName));
    XTestFakeKeyEvent(display, code, True, 0);
    XTestFakeKeyEvent(display, code, False, 0);
    XSync(display, False);
    XCloseDisplay(display);
    return code != 0;
}

std::string Shell(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;)
            output += static_cast<char>(c);
        pclose(pipe);
    }
    return output;
}

DialogAnswers::DialogAnswers()
{
    Register();
}

DialogAnswers::~DialogAnswers()
{
    Unregister();
    EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " expected dialog(s) never opened";
}

void DialogAnswers::Reply(int id)
{
    m_answers.push_back([id](wxDialog&) { return id; });
}

void DialogAnswers::ReplyFile(const wxString& path)
{
    m_answers.push_back([path](wxDialog& dialog) {
        auto* picker = dynamic_cast<wxFileDialog*>(&dialog);
        EXPECT_NE(picker, nullptr) << "expected a file dialog";
        if (!picker)
            return static_cast<int>(wxID_CANCEL);
        picker->SetPath(path);
        return static_cast<int>(wxID_OK);
    });
}

void DialogAnswers::Answer_(Answer answer)
{
    m_answers.push_back(std::move(answer));
}

std::vector<wxString> DialogAnswers::Messages() const
{
    std::vector<wxString> messages;
    for (const Seen& dialog : seen) {
        if (dialog.kind == "message")
            messages.push_back(dialog.message);
    }
    return messages;
}

int DialogAnswers::Enter(wxDialog* dialog)
{
    Seen entry;
    entry.kind = wxString(dialog->GetClassInfo()->GetClassName()).utf8_string();
    entry.caption = dialog->GetTitle();
    if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) {
        entry.kind = "message";
        entry.message = box->GetMessage();
        entry.detail = box->GetExtendedMessage();
        entry.caption = box->GetCaption();
        entry.style = box->GetMessageDialogStyle();
    } else if (auto* picker = dynamic_cast<wxFileDialog*>(dialog)) {
        entry.caption = picker->GetMessage();
        entry.style = picker->GetWindowStyle();
    }
    seen.push_back(entry);
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected " << entry.kind << " dialog: " << entry.message;
        return wxID_CANCEL;
    }
    Answer answer = std::move(m_answers.front());
    m_answers.pop_front();
    return answer(*dialog);
}

void Choose(wxComboBox* list, const wxString& entry)
{
    ASSERT_TRUE(list->SetStringSelection(entry)) << entry;
    wxCommandEvent change(wxEVT_COMBOBOX, list->GetId());
    change.SetEventObject(list);
    list->ProcessWindowEvent(change);
}

void Press(wxDialog& dialog, int id)
{
    wxCommandEvent press(wxEVT_BUTTON, id);
    press.SetEventObject(dialog.FindWindow(id));
    dialog.GetEventHandler()->ProcessEvent(press);
}

void OnPropertySheet(DialogAnswers& answers, std::function<void(ui::PropertySheetDialog&)> act)
{
    answers.Answer_([act](wxDialog& dialog) {
        auto* sheet = dynamic_cast<ui::PropertySheetDialog*>(&dialog);
        EXPECT_NE(sheet, nullptr);
        if (!sheet)
            return static_cast<int>(wxID_CANCEL);
        sheet->CallAfter([sheet, act] { act(*sheet); });
        return static_cast<int>(wxID_NONE);
    });
}

} // namespace calvex::test
