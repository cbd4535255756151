// SPDX-License-Identifier: GPL-2.0-or-later
// Filling a compressor list from the engine and binding its selection.
#include <gtest/gtest.h>

#include "fakes/fake_engine.h"
#include "media/catalogue.h"

using namespace calvex;
using media::Category;

namespace {

class CatalogueTest : public ::testing::Test {
protected:
    std::shared_ptr<test::FakeMoniker> AddVideo(const std::string& name, const std::string& key)
    {
        auto moniker = std::make_shared<test::FakeMoniker>(name, key);
        engine.devices->video.push_back(moniker);
        return moniker;
    }
    std::string Bind()
    {
        media::BindCompressor(engine, Category::VideoCompressor, list, slot);
        return test::IdOf(slot.Get());
    }

    test::FakeEngine engine;
    media::SortedCompressorList list;
    media::Slot<media::IBaseFilter> slot;
};

} // namespace

TEST_F(CatalogueTest, TheListIsSortedAndEachEntryBindsItsOwnFreshCompressor)
{
    const std::string longName = std::string(120, 'x') + " é encoder ✓";
    AddVideo("MPEG-4 part 2", "mpeg4");
    AddVideo("ATSC A/52A (AC-3)", "ac3");
    AddVideo("ATSC A/52A (AC-3)", "ac3_fixed"); // one name, two encoders
    AddVideo(longName, "long");
    media::FillCompressors(engine, Category::VideoCompressor, list);
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.GetLBText(2), "MPEG-4 part 2");
    EXPECT_EQ(list.GetLBText(3), longName); // whole, letter case ignored in the order
    EXPECT_EQ(list.GetCurSel(), 0);
    EXPECT_EQ(Bind(), "ac3#1"); // the first sorted entry, not the first enumerated
    list.SetCurSel(1);
    EXPECT_EQ(Bind(), "ac3_fixed#1");
    EXPECT_EQ(Bind(), "ac3_fixed#2");
    list.SetCurSel(3);
    EXPECT_EQ(Bind(), "long#1");
}

TEST_F(CatalogueTest, NoSelectionOrNoDeviceLeavesTheSlotAndABrokenOneEmptiesIt)
{
    AddVideo("MPEG-4 part 2", "mpeg4");
    media::FillCompressors(engine, Category::VideoCompressor, list);
    EXPECT_EQ(Bind(), "mpeg4#1");
    list.SetCurSel(-1);
    EXPECT_EQ(Bind(), "mpeg4#1");
    list.SetCurSel(0);
    engine.devicesOffered = false;
    EXPECT_EQ(Bind(), "mpeg4#1");
    engine.devicesOffered = true;
    engine.devices->video.front() = std::make_shared<test::FakeMoniker>("MPEG-4 part 2", "mpeg4");
    std::static_pointer_cast<test::FakeMoniker>(engine.devices->video.front())->bindable = false;
    EXPECT_EQ(Bind(), "-");
}

TEST_F(CatalogueTest, AnEmptyCategoryGivesAnEmptyList)
{
    engine.devices->audio.push_back(std::make_shared<test::FakeMoniker>("MP3 (LAME)", "mp3"));
    media::FillCompressors(engine, Category::VideoCompressor, list);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCurSel(), -1);
    EXPECT_EQ(Bind(), "-");
}
