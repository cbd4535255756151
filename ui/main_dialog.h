// SPDX-License-Identifier: GPL-2.0-or-later
// The main window: a frame that behaves as the program's dialog (template
// 102 with menu 129). It holds the job settings, routes the user's actions
// to their handlers, and is the job's window for the worker thread.
#pragma once

#include <memory>
#include <string>

#include <wx/frame.h>

#include "job/controller.h"
#include "job/front_end.h"
#include "job/job_slots.h"
#include "media/engine.h"
#include "ui/worker_host.h"

class wxButton;
class wxCheckBox;
class wxComboBox;
class wxGauge;
class wxPanel;
class wxTextCtrl;

namespace calvex::ui {

class CCalvexDlgAutoProxy;
class ComboCompressorList;

class CCalvexDlg : public wxFrame, public job::IJobFrontEnd, public job::ICompressorBinder {
public:
    // slots holds the compressors and the jobs' graphs; it outlives the window.
    CCalvexDlg(std::shared_ptr<media::IMediaEngine> engine, job::JobSlots& slots,
               wxWindow* pParent = nullptr);
    ~CCalvexDlg() override;

    // Members to controls (false) or controls to members (true). Any thread.
    void UpdateData(bool saveAndValidate);

    // The job's window operations; from the worker they run on the UI thread.
    job::ConversionSettings GetSettings() override;
    job::ConversionSettings TakeSettings() override;
    bool IsKeepAudioChecked() override;
    void ShowControlState(job::JobPhase phase) override;
    void ShowStatus(const std::string& status) override;
    void ShowStatusWithSettings(const std::string& status) override;
    void MessageBox(const std::string& text) override;
    void ShowOutcome(const std::string& message, const std::string& reason) override;
    void ShowProgress(const job::JobProgress& progress) override;
    void OnJobEnded(const job::JobOutcome& outcome) override;

    // Binding the selected compressors: the lists' selection-change handlers,
    // also called by the worker at the end of each job. Any thread.
    void BindVideoCompressor() override;
    void BindAudioCompressor() override;

    // True while a conversion's worker thread runs.
    bool IsJobRunning() const { return m_workerHost.IsWorkerRunning(); }

    // A file dropped on the window: it becomes the source as a pick in the
    // Open dialog does.
    void OnDropSource(const wxString& path);

    // Ends the window on a stop signal (SIGTERM, SIGHUP): a running job is
    // aborted as by Abort, and the window ends even while a proxy is attached.
    void EndOnSignal();

    // The automation proxy attached to this window, or null. While one is
    // attached, every way of closing only hides the window.
    CCalvexDlgAutoProxy* m_pAutoProxy = nullptr;

    // Members as the window's template binds them (UI thread only).
    wxString m_strSourceFile;
    wxString m_strOutputFile;
    wxComboBox* m_cbVideoCompressor = nullptr;
    wxComboBox* m_cbAudioCompressor = nullptr;
    wxString m_strStatus;
    wxTextCtrl* m_editStatus = nullptr;
    wxButton* m_btnConvert = nullptr;
    wxCheckBox* m_btnKeepAudio = nullptr;
    int m_bKeepAudio = 0;
    wxButton* m_btnAbort = nullptr;
    wxGauge* m_progress = nullptr;
    wxButton* m_btnQuit = nullptr;
    wxButton* m_btnVideoProperties = nullptr;
    wxButton* m_btnAudioProperties = nullptr;

protected:
    void DoDataExchange(bool saveAndValidate);
    void OnInitDialog();
    // Closing rules: hide while a proxy is attached, else end the window.
    void OnOK();
    void OnCancel();

private:
    void CreateLayout();
    void AttachControls();
    void SetWindowSize();
    void FillVideoCompressors();
    void FillAudioCompressors();
    // Ends the window: stops a running job, hides, and destroys the window
    // once its worker has ended and no modal loop runs any more.
    void EndDialog();
    void DestroyWhenFree();
    bool PressDefaultButton();
    void ShowCompressorSettings(const media::FilterPtr& compressor, const wxComboBox& list);

    // Event handlers (the message map).
    void OnClose(wxCloseEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnMenuOpen(wxMenuEvent& event);
    void OnMenuClose(wxMenuEvent& event);
    void OnFileAbout(wxCommandEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnCheckOnline(wxCommandEvent& event);
    void BindVideoCompressor(wxCommandEvent& event);
    void BindAudioCompressor(wxCommandEvent& event);
    void OnBrowseSource(wxCommandEvent& event);
    void OnBrowseOutput(wxCommandEvent& event);
    void OnConvert(wxCommandEvent& event);
    void OnVideoProperties(wxCommandEvent& event);
    void OnAudioProperties(wxCommandEvent& event);
    void OnKeepAudioClicked(wxCommandEvent& event);
    void OnAbort(wxCommandEvent& event);

    std::shared_ptr<media::IMediaEngine> m_engine;
    wxPanel* m_panel = nullptr;
    wxTextCtrl* m_editSourceFile = nullptr;
    wxTextCtrl* m_editOutputFile = nullptr;
    std::unique_ptr<ComboCompressorList> m_videoList;
    std::unique_ptr<ComboCompressorList> m_audioList;
    bool m_ending = false;
    int m_openMenus = 0; // menus of the menu bar open now

    job::JobSlots& m_slots;
    WorkerHost m_workerHost;
    job::JobController m_controller;

    wxDECLARE_EVENT_TABLE();
};

} // namespace calvex::ui
