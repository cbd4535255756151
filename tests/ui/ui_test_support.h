// SPDX-License-Identifier: GPL-2.0-or-later
// What the window tests share: a running wx application, modal dialogs
// answered without being shown, an event pump, and clicks on controls.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <wx/gdicmn.h>
#include <wx/modalhook.h>
#include <wx/string.h>

class wxComboBox;
class wxDialog;
class wxWindow;

namespace calvex::ui {
class PropertySheetDialog;
}

namespace calvex::test {

// Handles events until condition holds or timeout passes; returns condition().
bool PumpUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Handles the events that are waiting now (and idle work such as deleting
// destroyed windows).
void PumpPending();

// Sends the click of a button, check box or menu command, as the user's
// action would. A check box changes its state first.
void Click(wxWindow* control);
void ChooseMenuCommand(wxWindow* frame, const char* xrcName);
void PressKey(wxWindow* window, int keyCode);
// Picks entry in a list as the user would: its change event follows.
void Choose(wxComboBox* list, const wxString& entry);
// Presses the dialog's button id (wxID_OK, wxID_CANCEL, ...).
void Press(wxDialog& dialog, int id);

// A click and a key press of the user's own, through the X server (XTest);
// false without a display. keyName is X's name of the key ("Escape").
bool RealClick(wxPoint screenPosition);
bool RealKeyPress(const char* keyName);

// Runs a shell command line; returns its standard output.
std::string Shell(const std::string& command);

// Answers the modal dialogs that open, in order, without showing them
// (unless an answer returns wxID_NONE), and records each one.
class DialogAnswers : public wxModalDialogHook {
public:
    struct Seen {
        std::string kind; // "message", else the dialog's class name
        wxString message; // a message box's text
        wxString detail;  // and its secondary text
        wxString caption; // a message box's caption, or the dialog's title
        long style = 0;   // a message box's or file dialog's style
    };
    using Answer = std::function<int(wxDialog&)>;

    DialogAnswers();
    ~DialogAnswers() override;

    void Reply(int id);                   // wxID_OK, wxID_YES, wxID_NO, wxID_CANCEL
    void ReplyFile(const wxString& path); // a file dialog that returns path
    void Answer_(Answer answer);          // any other handling
    std::vector<wxString> Messages() const;
    size_t Pending() const { return m_answers.size(); }

    std::vector<Seen> seen;

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}

private:
    std::deque<Answer> m_answers;
};

// The next dialog is a settings sheet, shown for real: act runs in it once it
// is up (and ends it, pressing one of its buttons).
void OnPropertySheet(DialogAnswers& answers, std::function<void(ui::PropertySheetDialog&)> act);

} // namespace calvex::test
