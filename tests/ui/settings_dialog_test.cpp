// SPDX-License-Identifier: GPL-2.0-or-later
// The Properties buttons open the compressor's settings sheet, drawn from
// the settings the compressor describes.
#include <wx/button.h>
#include <wx/propgrid/propgrid.h>
#include <wx/propgrid/props.h>

#include "media/encoder_settings.h"
#include "res/strings.h"
#include "ui/settings_sheet.h"
#include "window_fixture.h"

using namespace calvex;
using media::SettingGroup;
using media::SettingType;
using test::Click;
using test::Press;

namespace {

media::EncoderSetting Setting(const char* name, SettingGroup group, SettingType type,
                              const char* defaultValue, const char* currentValue)
{
    media::EncoderSetting setting;
    setting.name = name;
    setting.label = name;
    setting.group = group;
    setting.type = type;
    setting.defaultValue = defaultValue;
    setting.currentValue = currentValue;
    return setting;
}

class FakePages : public media::ISpecifyPropertyPages {
public:
    FakePages()
    {
        settings.push_back(
            Setting("b", SettingGroup::QualityAndRate, SettingType::Integer, "0", "200000"));
        settings[0].label = "Bit rate";
        settings[0].unit = "kbit/s";
        settings[0].unitScale = 1000;
        settings[0].maximum = 100e6;
        settings.push_back(Setting("fast", SettingGroup::Encoder, SettingType::Boolean, "1", "1"));
        settings.push_back(Setting("tag", SettingGroup::General, SettingType::Text, "", "xvid"));
        settings.push_back(Setting("flags", SettingGroup::General, SettingType::Flags, "0", "aic"));
        settings[3].choices = {{"mv4", "", "mv4"}, {"aic", "", "aic"}};
    }
    std::vector<media::EncoderSetting> GetPages() const override { return settings; }
    bool SetValue(const std::string& name, const std::string& value) override
    {
        applied.push_back(name + "=" + value);
        return value != "bad";
    }
    void KeepSettings() override { ++kept; }

    std::vector<media::EncoderSetting> settings;
    std::vector<std::string> applied;
    int kept = 0;
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

    std::shared_ptr<FakePages> pages = std::make_shared<FakePages>();
};

TEST_F(SettingsDialogTest, RowsShowTheirGroupAndUnitAndOnlyOkAppliesTheChangedValues)
{
    for (const int button : {wxID_CANCEL, wxID_OK}) {
        test::OnPropertySheet(answers, [button](ui::PropertySheetDialog& sheet) {
            ASSERT_EQ(sheet.GetGroups().size(), 3u);
            EXPECT_EQ(sheet.GetGroups()[0]->GetLabel(), strings::kGroupQualityAndRate);
            EXPECT_EQ(sheet.GetRow("b")->GetParent(), sheet.GetGroups()[0]);
            EXPECT_EQ(sheet.GetRow("b")->GetLabel(), "Bit rate (kbit/s)");
            EXPECT_EQ(sheet.GetRow("b")->GetValue().GetLong(), 200);
            wxPGValidationInfo info;
            wxVariant tooBig(200000L);
            EXPECT_FALSE(sheet.GetRow("b")->ValidateValue(tooBig, info));
            EXPECT_TRUE(sheet.GetRow("fast")->GetValue().GetBool());
            EXPECT_EQ(sheet.GetRow("flags")->GetValueAsString(), "aic");
            sheet.GetGrid()->SetPropertyValue(sheet.GetRow("b"), 64L);
            sheet.GetGrid()->SetPropertyValue(sheet.GetRow("fast"), false);
            sheet.GetGrid()->SetPropertyValueString(sheet.GetRow("flags"), "mv4, aic");
            Press(sheet, button);
        });
        Click(window->m_btnVideoProperties);
    }
    EXPECT_EQ(answers.seen.at(0).caption, "alpha video Properties");
    EXPECT_EQ(pages->applied, (std::vector<std::string>{"b=64000", "fast=0", "flags=mv4+aic"}));
    EXPECT_EQ(pages->kept, 1);
}

TEST_F(SettingsDialogTest, DefaultsShowsEveryDefaultAndOkAppliesThemAsSet)
{
    test::OnPropertySheet(answers, [](ui::PropertySheetDialog& sheet) {
        Click(sheet.GetDefaultsButton());
        EXPECT_EQ(sheet.GetRow("b")->GetValue().GetLong(), 0);
        EXPECT_EQ(sheet.GetRow("tag")->GetValueAsString(), "");
        Press(sheet, wxID_OK);
    });
    Click(window->m_btnVideoProperties);
    EXPECT_EQ(pages->applied, (std::vector<std::string>{"b=0", "tag=", "flags=0"}));
}

TEST_F(SettingsDialogTest, RefusedValueIsReportedAndTheSheetStaysOpen)
{
    bool openAfterRefusal = false;
    test::OnPropertySheet(answers, [&](ui::PropertySheetDialog& sheet) {
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
    EXPECT_EQ(pages->kept, 1);
    EXPECT_EQ(answers.Messages(),
              std::vector<wxString>{"The compressor refused the value \"bad\" for tag."});
}

} // namespace
