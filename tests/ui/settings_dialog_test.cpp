// SPDX-License-Identifier: GPL-2.0-or-later
// The Properties buttons: the settings sheet and the preset list.
#include <wx/button.h>
#include <wx/choicdlg.h>
#include <wx/propgrid/advprops.h>
#include <wx/propgrid/propgrid.h>
#include <wx/propgrid/props.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "res/strings.h"
#include "ui/settings_sheet.h"
#include "window_fixture.h"

using namespace calvex;
using media::SettingType;
using test::Click;

namespace {

class FakePages : public media::ISpecifyPropertyPages {
public:
    std::vector<media::EncoderSetting> GetPages() const override { return settings; }
    bool SetValue(const std::string& name, const std::string& value) override
    {
        applied.push_back(name + "=" + value);
        return value != refused;
    }

    std::vector<media::EncoderSetting> settings{
        {"b", "bit rate in bit/s", SettingType::Integer, 0, 100000, {}, "200", "200"},
        {"qscale", "quality", SettingType::Real, 0, 1, {}, "0.5", "0.5"},
        {"fast", "trade quality for speed", SettingType::Boolean, 0, 1, {}, "0", "0"},
        {"tag", "the codec tag", SettingType::Text, 0, 0, {}, "", "xvid"},
    };
    std::vector<std::string> applied;
    std::string refused = "never";
};

class FakeCodecDialog : public media::ICodecDialog {
public:
    std::string Title() const override { return "Presets of x"; }
    std::vector<std::string> Presets() const override { return {"fast", "medium", "slow"}; }
    std::string CurrentPreset() const override { return "medium"; }
    bool ChoosePreset(const std::string& preset) override
    {
        chosen.push_back(preset);
        return true;
    }
    std::vector<std::string> chosen;
};

class SettingsDialogTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        Open();
        filter = std::make_shared<test::FakeFilter>("configurable");
        filter->pages = pages;
        slots.g_pVideoCompressor.Set(filter);
        slots.g_pAudioCompressor.Set(filter);
    }

    // Shows the sheet for real; act runs inside it once it is up.
    void OnSheet(std::function<void(ui::PropertySheetDialog&)> act)
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

    static void Press(wxDialog& dialog, int id)
    {
        wxCommandEvent press(wxEVT_BUTTON, id);
        press.SetEventObject(dialog.FindWindow(id));
        dialog.GetEventHandler()->ProcessEvent(press);
    }

    std::shared_ptr<FakePages> pages = std::make_shared<FakePages>();
    std::shared_ptr<test::FakeFilter> filter;
};

TEST_F(SettingsDialogTest, EachSettingHasItsEditorAndOnlyOkAppliesTheChangedOnes)
{
    for (const int button : {wxID_CANCEL, wxID_OK}) {
        OnSheet([button](ui::PropertySheetDialog& sheet) {
            EXPECT_NE(dynamic_cast<wxIntProperty*>(sheet.GetRow("b")), nullptr);
            EXPECT_NE(dynamic_cast<wxBoolProperty*>(sheet.GetRow("fast")), nullptr);
            EXPECT_EQ(sheet.GetRow("tag")->GetValueAsString(), "xvid");
            wxPGValidationInfo info;
            wxVariant tooBig(200000L), aboveOne(1.5);
            EXPECT_FALSE(sheet.GetRow("b")->ValidateValue(tooBig, info));
            EXPECT_FALSE(sheet.GetRow("qscale")->ValidateValue(aboveOne, info));
            sheet.GetGrid()->SetPropertyValue(sheet.GetRow("b"), 64000L);
            sheet.GetGrid()->SetPropertyValue(sheet.GetRow("fast"), true);
            sheet.GetGrid()->SetPropertyValue(sheet.GetRow("qscale"), 0.25);
            Press(sheet, button);
        });
        Click(window->m_btnVideoProperties);
    }
    EXPECT_EQ(answers.seen.at(0).caption, "alpha video Properties");
    EXPECT_EQ(pages->applied, (std::vector<std::string>{"b=64000", "qscale=0.25", "fast=1"}));
}

TEST_F(SettingsDialogTest, RefusedValueIsReportedAndTheSheetStaysOpen)
{
    pages->refused = "bad";
    bool openAfterRefusal = false;
    OnSheet([&](ui::PropertySheetDialog& sheet) {
        sheet.GetGrid()->SetPropertyValue(sheet.GetRow("tag"), "bad");
        Press(sheet, wxID_OK);
        openAfterRefusal = sheet.IsModal();
        sheet.GetGrid()->SetPropertyValue(sheet.GetRow("tag"), "good");
        Press(sheet, wxID_OK);
    });
    answers.Reply(wxID_OK); // the refusal
    Click(window->m_btnVideoProperties);
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(pages->applied, (std::vector<std::string>{"tag=bad", "tag=good"}));
    EXPECT_EQ(answers.Messages(),
              std::vector<wxString>{"The compressor refused the value \"bad\" for tag."});
}

TEST_F(SettingsDialogTest, PagesComeFirstThenTheCodecDialogsPresets)
{
    auto codec = std::make_shared<FakeCodecDialog>();
    filter->dialog = codec;
    answers.Reply(wxID_CANCEL);
    Click(window->m_btnVideoProperties);
    EXPECT_EQ(answers.seen.at(0).kind, "sheet");

    filter->pages = nullptr;
    answers.Answer_([](wxDialog& dialog) {
        auto* list = dynamic_cast<wxSingleChoiceDialog*>(&dialog);
        EXPECT_NE(list, nullptr);
        if (!list)
            return static_cast<int>(wxID_CANCEL);
        EXPECT_EQ(list->GetSelection(), 1); // the current preset
        list->SetSelection(2);
        return static_cast<int>(wxID_OK);
    });
    Click(window->m_btnAudioProperties);
    EXPECT_EQ(answers.seen.at(1).caption, "Presets of x");
    EXPECT_EQ(codec->chosen, std::vector<std::string>{"slow"});

    filter->dialog = nullptr; // neither: nothing opens
    Click(window->m_btnAudioProperties);
    EXPECT_EQ(answers.seen.size(), 2u);
}

} // namespace
