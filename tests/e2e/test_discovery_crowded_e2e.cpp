// End to end: the simulated logger listed last among hundreds of serial ports (a multi-port card, a test
// rig) is found and linked, and the window's port lists say how many entries they leave out.
#include "support/SimHarness.h"

#include <QListWidget>
#include <gtest/gtest.h>

namespace {

TEST(CrowdedDiscovery, LoggerListedAfterHundredsOfPortsIsLinked) {
    vexa::sim::SimConfig config;
    config.otherPorts = 300; // 75 of them ports of the logger's driver family, then the logger
    SimHarness h(config);
    TForm1& f = h.Open();
    ASSERT_TRUE(h.WaitLinkedAndIdle());
    EXPECT_EQ(f.Edit3->text(), "COM3");
    EXPECT_TRUE(f.Image4->isHidden());

    ASSERT_EQ(f.ListBox1->count(), 64 + 1);
    EXPECT_EQ(f.ListBox1->item(0)->text(), "\\Device\\VCP1");
    EXPECT_EQ(f.ListBox1->item(64)->text(), "... 237 more not listed");
    ASSERT_EQ(f.ListBox2->count(), 64 + 1);
    EXPECT_EQ(f.ListBox2->item(64)->text(), "... 12 more not listed");
    EXPECT_EQ(f.Edit4->text(), "COM3"); // the last of the driver's ports read
    EXPECT_EQ(f.UpDown1->maximum(), 75);
}

} // namespace
