// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/main_dialog.h"

#include <algorithm>

#include <dlfcn.h>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "media/catalogue.h"
#include "res/strings.h"
#include "ui/auto_proxy.h"
#include "ui/compressor_combo.h"
#include "ui/message_box.h"
#include "ui/modal_scope.h"
#include "ui/resources.h"
#include "ui/source_drop_target.h"
#include "ui/ui_thread.h"

namespace calvex::ui {

namespace {

// A fixed-size window with a minimise box and no maximise box.
constexpr long kDialogStyle = wxDEFAULT_FRAME_STYLE & ~(wxRESIZE_BORDER | wxMAXIMIZE_BOX);

template <class Control> Control* ControlOf(wxWindow* parent, const char* name)
{
    auto* control = dynamic_cast<Control*>(parent->FindWindow(XRCID(name)));
    wxASSERT_MSG(control, wxString("The main window's layout lacks ") + name);
    return control;
}

// Gives control a name for screen readers other than its label. wxWidgets
// 3.2 has no call for it on GTK; the two GTK functions are looked up in the
// toolkit the program already runs on (nothing happens without them).
void SetAccessibleName(wxWindow& control, const char* name)
{
    using GetAccessible = void* (*)(void*);
    using SetName = void (*)(void*, const char*);
    const auto getAccessible =
        reinterpret_cast<GetAccessible>(dlsym(RTLD_DEFAULT, "gtk_widget_get_accessible"));
    const auto setName = reinterpret_cast<SetName>(dlsym(RTLD_DEFAULT, "atk_object_set_name"));
    void* accessible =
        getAccessible && control.GetHandle() ? getAccessible(control.GetHandle()) : nullptr;
    if (accessible && setName)
        setName(accessible, name);
}

} // namespace

wxBEGIN_EVENT_TABLE(CCalvexDlg, wxFrame)
    EVT_CLOSE(CCalvexDlg::OnClose)
    EVT_MENU(XRCID("ID_FILE_ABOUT"), CCalvexDlg::OnFileAbout)
    EVT_MENU(XRCID("ID_FILE_QUIT"), CCalvexDlg::OnQuit)
    EVT_MENU(XRCID("ID_UPDATES_CHECK_ONLINE"), CCalvexDlg::OnCheckOnline)
    EVT_COMBOBOX(XRCID("IDC_VIDEO_COMPRESSOR"), CCalvexDlg::BindVideoCompressor)
    EVT_COMBOBOX(XRCID("IDC_AUDIO_COMPRESSOR"), CCalvexDlg::BindAudioCompressor)
    EVT_BUTTON(XRCID("IDC_BROWSE_SOURCE"), CCalvexDlg::OnBrowseSource)
    EVT_BUTTON(XRCID("IDC_BROWSE_OUTPUT"), CCalvexDlg::OnBrowseOutput)
    EVT_BUTTON(XRCID("IDC_CONVERT"), CCalvexDlg::OnConvert)
    EVT_BUTTON(XRCID("IDC_VIDEO_PROPERTIES"), CCalvexDlg::OnVideoProperties)
    EVT_BUTTON(XRCID("IDC_AUDIO_PROPERTIES"), CCalvexDlg::OnAudioProperties)
    EVT_CHECKBOX(XRCID("IDC_KEEP_AUDIO"), CCalvexDlg::OnKeepAudioClicked)
    EVT_BUTTON(XRCID("IDOK"), CCalvexDlg::OnQuit)
    EVT_BUTTON(XRCID("IDC_ABORT"), CCalvexDlg::OnAbort)
    // The dialog manager's keys: Enter for the default button, Escape; not
    // while a menu of the menu bar is open, whose keys they are then.
    EVT_CHAR_HOOK(CCalvexDlg::OnCharHook)
    EVT_MENU_OPEN(CCalvexDlg::OnMenuOpen)
    EVT_MENU_CLOSE(CCalvexDlg::OnMenuClose)
wxEND_EVENT_TABLE()

CCalvexDlg::CCalvexDlg(std::shared_ptr<media::IMediaEngine> engine, job::JobSlots& slots,
                       wxWindow* pParent)
    : m_engine(std::move(engine)), m_slots(slots),
      m_workerHost(*m_engine, *this, *this, m_slots, *this), m_controller(*this, m_workerHost)
{
    LoadUiResources();
    const wxString caption = wxString(strings::kVersionLine) + ", " + strings::kWebDomain;
    Create(pParent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize, kDialogStyle);
    SetIcons(ProgramIcons());
    CreateLayout();
    OnInitDialog();
    // An ending window goes once its worker and every modal loop are done.
    m_workerHost.SetOnWorkerEnded([this] { DestroyWhenFree(); });
    ModalScope::SetOnAllClosed([this] { CallAfter(&CCalvexDlg::DestroyWhenFree); });
}

CCalvexDlg::~CCalvexDlg()
{
    ModalScope::SetOnAllClosed(nullptr);
    if (m_pAutoProxy)
        m_pAutoProxy->m_pDialog = nullptr;
}

void CCalvexDlg::CreateLayout()
{
    SetMenuBar(wxXmlResource::Get()->LoadMenuBar(this, "IDR_MAIN_MENU"));
    m_panel = wxXmlResource::Get()->LoadPanel(this, "IDD_CALVEX_DIALOG");
    wxASSERT_MSG(m_panel, "The main window's layout is missing");
    AttachControls();
    m_btnQuit->SetDefault();
    // Both buttons read "Properties": their names say which list they serve.
    SetAccessibleName(*m_btnVideoProperties, strings::kVideoPropertiesName);
    SetAccessibleName(*m_btnAudioProperties, strings::kAudioPropertiesName);
    SetWindowSize();
    // A file dropped anywhere on the window: on its controls' panel or its frame.
    for (wxWindow* target : {static_cast<wxWindow*>(this), static_cast<wxWindow*>(m_panel)})
        target->SetDropTarget(
            new SourceDropTarget([this](const wxString& path) { OnDropSource(path); }));
}

void CCalvexDlg::AttachControls()
{
    m_editSourceFile = ControlOf<wxTextCtrl>(m_panel, "IDC_SOURCE_FILE");
    m_editOutputFile = ControlOf<wxTextCtrl>(m_panel, "IDC_OUTPUT_FILE");
    m_cbVideoCompressor = ControlOf<wxComboBox>(m_panel, "IDC_VIDEO_COMPRESSOR");
    m_cbAudioCompressor = ControlOf<wxComboBox>(m_panel, "IDC_AUDIO_COMPRESSOR");
    m_editStatus = ControlOf<wxTextCtrl>(m_panel, "IDC_STATUS");
    m_btnConvert = ControlOf<wxButton>(m_panel, "IDC_CONVERT");
    m_btnKeepAudio = ControlOf<wxCheckBox>(m_panel, "IDC_KEEP_AUDIO");
    m_btnAbort = ControlOf<wxButton>(m_panel, "IDC_ABORT");
    m_progress = ControlOf<wxGauge>(m_panel, "IDC_PROGRESS");
    m_btnQuit = ControlOf<wxButton>(m_panel, "IDOK");
    m_btnVideoProperties = ControlOf<wxButton>(m_panel, "IDC_VIDEO_PROPERTIES");
    m_btnAudioProperties = ControlOf<wxButton>(m_panel, "IDC_AUDIO_PROPERTIES");
    m_videoList = std::make_unique<ComboCompressorList>(*m_cbVideoCompressor);
    m_audioList = std::make_unique<ComboCompressorList>(*m_cbAudioCompressor);
}

void CCalvexDlg::SetWindowSize()
{
    // The panel has the template's size in dialog units; the window keeps it.
    SetClientSize(m_panel->GetSize());
    const wxSize size = GetSize();
    SetSizeHints(size, size);
}

void CCalvexDlg::OnInitDialog()
{
    FillVideoCompressors();
    FillAudioCompressors();
    BindVideoCompressor();
    BindAudioCompressor();
    m_btnAbort->Disable();
    m_btnKeepAudio->SetValue(true);
    UpdateData(true);
    // The first tab stop in template order.
    m_btnQuit->SetFocus();
}

void CCalvexDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strSourceFile = m_editSourceFile->GetValue();
        m_strOutputFile = m_editOutputFile->GetValue();
        m_strStatus = m_editStatus->GetValue();
        m_bKeepAudio = m_btnKeepAudio->GetValue() ? 1 : 0;
    } else {
        m_editSourceFile->ChangeValue(m_strSourceFile);
        m_editOutputFile->ChangeValue(m_strOutputFile);
        m_editStatus->ChangeValue(m_strStatus);
        m_btnKeepAudio->SetValue(m_bKeepAudio == 1);
    }
}

void CCalvexDlg::UpdateData(bool saveAndValidate)
{
    CallOnUiThread(*this, [&] { DoDataExchange(saveAndValidate); });
}

void CCalvexDlg::FillVideoCompressors()
{
    media::FillCompressors(*m_engine, media::Category::VideoCompressor, *m_videoList);
}

void CCalvexDlg::FillAudioCompressors()
{
    media::FillCompressors(*m_engine, media::Category::AudioCompressor, *m_audioList);
}

void CCalvexDlg::BindVideoCompressor()
{
    CallOnUiThread(*this, [&] {
        media::BindCompressor(*m_engine, media::Category::VideoCompressor, *m_videoList,
                              m_slots.g_pVideoCompressor);
    });
}

void CCalvexDlg::BindAudioCompressor()
{
    CallOnUiThread(*this, [&] {
        media::BindCompressor(*m_engine, media::Category::AudioCompressor, *m_audioList,
                              m_slots.g_pAudioCompressor);
    });
}

void CCalvexDlg::BindVideoCompressor(wxCommandEvent&)
{
    m_videoList->ShowSelectionWhole();
    BindVideoCompressor();
}

void CCalvexDlg::BindAudioCompressor(wxCommandEvent&)
{
    m_audioList->ShowSelectionWhole();
    BindAudioCompressor();
}

void CCalvexDlg::ShowControlState(job::JobPhase phase)
{
    const job::ControlState state = job::ControlStateOf(phase);
    CallOnUiThread(*this, [&] {
        m_btnConvert->Enable(state.convert);
        m_btnAbort->Enable(state.abort);
        m_btnQuit->Enable(state.quit);
        m_btnVideoProperties->Enable(state.videoProperties);
        m_btnAudioProperties->Enable(state.audioProperties);
    });
}

void CCalvexDlg::ShowStatus(const std::string& status)
{
    // Only the status line: the other members may be older than their
    // controls (a box changed during the job).
    CallOnUiThread(*this, [&] {
        m_strStatus = wxString::FromUTF8(status);
        m_editStatus->ChangeValue(m_strStatus);
    });
}

void CCalvexDlg::ShowStatusWithSettings(const std::string& status)
{
    CallOnUiThread(*this, [&] {
        m_strStatus = wxString::FromUTF8(status);
        DoDataExchange(false);
    });
}

bool CCalvexDlg::IsKeepAudioChecked()
{
    return CallOnUiThread(*this, [&] { return m_btnKeepAudio->GetValue(); });
}

void CCalvexDlg::MessageBox(const std::string& text)
{
    // A window on its way out asks no one: its stopped job just ends.
    CallOnUiThread(*this, [&] {
        if (!m_ending)
            ShowMessageBox(this, wxString::FromUTF8(text), wxOK);
    });
}

void CCalvexDlg::ShowOutcome(const std::string& message, const std::string& reason)
{
    CallOnUiThread(*this, [&] {
        if (!m_ending)
            ShowMessageBox(this, wxString::FromUTF8(message), wxOK, wxString::FromUTF8(reason));
    });
}

void CCalvexDlg::ShowProgress(const job::JobProgress& progress)
{
    CallOnUiThread(*this, [&] { m_progress->SetValue(std::clamp(progress.percent, 0, 100)); });
}

job::ConversionSettings CCalvexDlg::GetSettings()
{
    return CallOnUiThread(*this, [&] {
        return job::ConversionSettings{m_strSourceFile.utf8_string(), m_strOutputFile.utf8_string(),
                                       m_bKeepAudio};
    });
}

job::ConversionSettings CCalvexDlg::TakeSettings()
{
    UpdateData(true);
    return GetSettings();
}

// The outcome's message and status line have been shown by now.
void CCalvexDlg::OnJobEnded(const job::JobOutcome&) {}

void CCalvexDlg::OnConvert(wxCommandEvent&)
{
    m_controller.OnConvert();
}

void CCalvexDlg::OnAbort(wxCommandEvent&)
{
    m_controller.OnAbort();
}

void CCalvexDlg::OnKeepAudioClicked(wxCommandEvent&)
{
    m_controller.OnKeepAudioClicked();
}

void CCalvexDlg::OnClose(wxCloseEvent&)
{
    // As the dialog manager answers a close with Cancel.
    OnCancel();
}

void CCalvexDlg::OnOK()
{
    if (m_pAutoProxy) {
        Hide();
        return;
    }
    UpdateData(true);
    EndDialog();
}

void CCalvexDlg::OnCancel()
{
    if (m_pAutoProxy) {
        Hide();
        return;
    }
    EndDialog();
}

void CCalvexDlg::EndOnSignal()
{
    if (m_workerHost.IsWorkerRunning())
        m_controller.OnAbort();
    EndDialog();
}

void CCalvexDlg::EndDialog()
{
    if (IsBeingDeleted())
        return;
    m_ending = true;
    m_workerHost.RefuseNewJobs();
    if (m_workerHost.IsWorkerRunning())
        m_workerHost.StopGraph();
    Hide();
    DestroyWhenFree();
}

void CCalvexDlg::DestroyWhenFree()
{
    // The worker uses this window until it ends, and a modal loop (a box, a
    // dialog, Convert's wait for the old worker) still runs on it: each of
    // their ends calls here again.
    if (!m_ending || IsBeingDeleted() || m_workerHost.IsWorkerRunning() || ModalScope::IsAnyOpen())
        return;
    m_workerHost.JoinEndedWorker();
    Destroy();
}

void CCalvexDlg::OnMenuOpen(wxMenuEvent& event)
{
    ++m_openMenus;
    event.Skip();
}

void CCalvexDlg::OnMenuClose(wxMenuEvent& event)
{
    m_openMenus = std::max(0, m_openMenus - 1);
    event.Skip();
}

void CCalvexDlg::OnCharHook(wxKeyEvent& event)
{
    if (m_openMenus > 0) {
        event.Skip();
        return;
    }
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE && !event.HasAnyModifiers()) {
        OnCancel();
        return;
    }
    if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && PressDefaultButton())
        return;
    event.Skip();
}

bool CCalvexDlg::PressDefaultButton()
{
    // A push button with the focus takes Enter itself.
    if (dynamic_cast<wxButton*>(FindFocus()))
        return false;
    if (m_btnQuit->IsEnabled()) {
        wxCommandEvent click(wxEVT_BUTTON, m_btnQuit->GetId());
        click.SetEventObject(m_btnQuit);
        m_btnQuit->ProcessWindowEvent(click);
    }
    return true;
}

} // namespace calvex::ui
