// The head list's next packet read on a worker while the clerk works on, over TCP, whose one
// connection per session carries one call at a time: a call of the clerk's during the read
// waits its turn, every head shows once, and a window closed during a read goes quietly.
#include "framework/DocumentWindow.h"

#include "controls/DBGrid.h"

#include <QCoreApplication>

#include <set>

namespace orvane::test {
namespace {

class HeadPacketsTest : public DocumentWindowTest {
protected:
    // A started window whose head list comes one document per packet, read ahead.
    FormPtr startedInSmallPackets()
    {
        FormPtr form = started();
        ClientDataSet& heads = form->doubleModule()->cdsMain;
        heads.setPacketRecords(1);
        form->OpenDataSet(heads, "", "");
        return form;
    }
    static std::multiset<std::string> numbers(ClientDataSet& heads)
    {
        std::multiset<std::string> shown;
        for (heads.first(); !heads.eof(); heads.next())
            shown.insert(heads.fieldByName("TC001").asString() + "-" + heads.fieldByName("TC002").asString());
        return shown;
    }
};

TEST_P(HeadPacketsTest, AClerksCallDuringAReadWaitsItsTurnEveryHeadShowsOnceAndAClosedWindowGoesQuietly)
{
    FormPtr form = startedInSmallPackets();
    TdmDouble& module = *form->doubleModule();
    form->gdHead->model()->fetchMore({});
    ASSERT_TRUE(module.cdsMain.readingAhead());
    EXPECT_FALSE(module.WhatIs("TODAY").toString().empty()) << "answered, not refused as a second call in flight";
    // The head list asked for packets as scrolling to its end does, each shown before the next.
    QAbstractItemModel& list = *form->gdHead->model();
    while (list.canFetchMore({})) {
        list.fetchMore({});
        while (module.cdsMain.readingAhead())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    EXPECT_EQ(list.rowCount(), module.cdsMain.recordCount());
    const std::multiset<std::string> readAhead = numbers(module.cdsMain);

    module.cdsMain.setReadsAhead(false);
    form->OpenDataSet(module.cdsMain, "", "");
    module.cdsMain.fetchAll();
    EXPECT_GT(readAhead.size(), 2u);
    EXPECT_EQ(readAhead, numbers(module.cdsMain));

    // A window closed during a read goes quietly: the packet's wake-up finds no list to show it.
    module.cdsMain.setReadsAhead(true);
    form->OpenDataSet(module.cdsMain, "", "");
    list.fetchMore({});
    ASSERT_TRUE(module.cdsMain.readingAhead());
    form.reset();
    QCoreApplication::processEvents();
}

INSTANTIATE_TEST_SUITE_P(Tcp, HeadPacketsTest, ::testing::Values(Road::Tcp), roadName);

} // namespace
} // namespace orvane::test
