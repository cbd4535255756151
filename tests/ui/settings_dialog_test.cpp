// SPDX-License-Identifier: GPL-2.0-or-later
// The Properties buttons open the compressor's settings sheet.
#include <wx/button.h>
#include <wx/propgrid/propgrid.h>
#include <wx/propgrid/props.h>

#include "media/encoder_settings.h"
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
        return value != "bad";
    }

    std::vector<media::EncoderSetting> settings{
        {"b", "bit rate in bit/s", SettingType::Integer, 0, 100000, {}, "200", "200"},
        {"fast", "trade quality for speed", SettingType::Boolean, 0, 1, {}, "0", "0"},
        {"tag", "the codec tag", SettingType::Text, 0, 0, {}, "", "xvid"},
    };
    std::vector<std::string> applied;
};

class SettingsDialogTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        Open();
        auto filter = std::make_shared<test::FakeFilter>("configurable");
        filter->pages = pages;
        slots.g_pVideoCompressor.Set(filter);
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
};

TEST_F(SettingsDialogTest, OnlyOkAppliesTheChangedValuesWithinTheirRanges)
{
    for (const int button : {wxID_CANCEL, wxID_OK}) {
        OnSheet([button](ui::PropertySheetDialog& sheet) {
            EXPECT_EQ(sheet.GetRow("tag")->GetValueAsString(), "xvid");
            wxPGValidationInfo info;
            wxVariant tooBig(200000L);
            EXPECT_FALSE(sheet.GetRow("b")->ValidateValue(tooBig, info));
            sheet.GetGrid()->SetPropertyValue(sheet.GetRow("b"), 64000L);
            sheet.GetGrid()->SetPropertyValue(sheet.GetRow("fast"), true);
            Press(sheet, button);
        });
        Click(window->m_btnVideoProperties);
    }
    EXPECT_EQ(answers.seen.at(0).caption, "alpha video Properties");
    EXPECT_EQ(pages->applied, (std::vector<std::string>{"b=64000", "fast=1"}));
}

TEST_F(SettingsDialogTest, RefusedValueIsReportedAndTheSheetStaysOpen)
{
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

} // namespace
