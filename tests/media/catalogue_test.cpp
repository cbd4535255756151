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
    std::string BoundId() { return test::IdOf(slot.Get()); }

    test::FakeEngine engine;
    media::SortedCompressorList list;
    media::Slot<media::IBaseFilter> slot;
};

} // namespace

TEST_F(CatalogueTest, TheListIsSortedAndTheFirstSortedEntryIsBoundAtStart)
{
    AddVideo("MPEG-4 part 2", "mpeg4");
    AddVideo("libx264 H.264", "libx264");
    AddVideo("FFmpeg video codec #1", "ffv1");
    media::FillCompressors(engine, Category::VideoCompressor, list);

    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetLBText(0), "FFmpeg video codec #1");
    EXPECT_EQ(list.GetLBText(1), "libx264 H.264"); // letter case is ignored
    EXPECT_EQ(list.GetCurSel(), 0);

    media::BindCompressor(engine, Category::VideoCompressor, list, slot);
    EXPECT_EQ(BoundId(), "ffv1#1"); // not the first one enumerated
}

TEST_F(CatalogueTest, EntriesWithOneNameEachBindTheirOwnCompressor)
{
    AddVideo("ATSC A/52A (AC-3)", "ac3");
    AddVideo("ATSC A/52A (AC-3)", "ac3_fixed");
    media::FillCompressors(engine, Category::VideoCompressor, list);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetLBText(0), list.GetLBText(1));

    list.SetCurSel(1);
    media::BindCompressor(engine, Category::VideoCompressor, list, slot);
    EXPECT_EQ(BoundId(), "ac3_fixed#1");
    list.SetCurSel(0);
    media::BindCompressor(engine, Category::VideoCompressor, list, slot);
    EXPECT_EQ(BoundId(), "ac3#1");
}

TEST_F(CatalogueTest, LongAndNonAsciiNamesAreListedWholeAndBound)
{
    const std::string name(120, 'x');
    AddVideo(name + " é encoder ✓", "long");
    media::FillCompressors(engine, Category::VideoCompressor, list);
    EXPECT_EQ(list.GetLBText(0), name + " é encoder ✓");
    media::BindCompressor(engine, Category::VideoCompressor, list, slot);
    EXPECT_EQ(BoundId(), "long#1");
}

TEST_F(CatalogueTest, EachBindMakesAFreshInstance)
{
    auto moniker = AddVideo("MPEG-4 part 2", "mpeg4");
    media::FillCompressors(engine, Category::VideoCompressor, list);
    media::BindCompressor(engine, Category::VideoCompressor, list, slot);
    const auto first = slot.Get();
    media::BindCompressor(engine, Category::VideoCompressor, list, slot);
    EXPECT_NE(slot.Get(), first);
    EXPECT_EQ(moniker->binds, 2);
}

TEST_F(CatalogueTest, NoSelectionOrNoMatchingDeviceLeavesTheSlotAsItWas)
{
    AddVideo("MPEG-4 part 2", "mpeg4");
    media::FillCompressors(engine, Category::VideoCompressor, list);
    media::BindCompressor(engine, Category::VideoCompressor, list, slot);
    const auto bound = slot.Get();

    list.SetCurSel(-1);
    media::BindCompressor(engine, Category::VideoCompressor, list, slot);
    EXPECT_EQ(slot.Get(), bound);

    list.SetCurSel(0);
    engine.devices->video.clear(); // the device went away
    media::BindCompressor(engine, Category::VideoCompressor, list, slot);
    EXPECT_EQ(slot.Get(), bound);

    engine.devicesOffered = false;
    media::BindCompressor(engine, Category::VideoCompressor, list, slot);
    EXPECT_EQ(slot.Get(), bound);
}

TEST_F(CatalogueTest, ADeviceThatCannotBeInstantiatedEmptiesTheSlot)
{
    AddVideo("Broken", "broken")->bindable = false;
    slot.Set(std::make_shared<test::FakeFilter>("old"));
    media::FillCompressors(engine, Category::VideoCompressor, list);
    media::BindCompressor(engine, Category::VideoCompressor, list, slot);
    EXPECT_FALSE(slot.IsFilled());
}

TEST_F(CatalogueTest, AnEmptyCategoryGivesAnEmptyListAndSlot)
{
    media::FillCompressors(engine, Category::AudioCompressor, list);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCurSel(), -1);
    media::BindCompressor(engine, Category::AudioCompressor, list, slot);
    EXPECT_FALSE(slot.IsFilled());
}

TEST_F(CatalogueTest, TheAudioListBindsFromTheAudioCategory)
{
    AddVideo("MPEG-4 part 2", "mpeg4");
    engine.devices->audio.push_back(
        std::make_shared<test::FakeMoniker>("MP3 (LAME)", "libmp3lame"));
    engine.devices->audio.push_back(std::make_shared<test::FakeMoniker>("AAC", "aac"));
    media::FillCompressors(engine, Category::AudioCompressor, list);
    list.SetCurSel(1);
    media::BindCompressor(engine, Category::AudioCompressor, list, slot);
    EXPECT_EQ(BoundId(), "libmp3lame#1");
}
