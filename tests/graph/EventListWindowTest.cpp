// The event list window: the events of generated pulses, sorting by time and by peak, the threshold
// edited, and a chosen event handed to the graph as its peak sample.
#include "graph/TForm7.h"

#include <QTest>
#include <gtest/gtest.h>

#include <vector>

using namespace vexa;

namespace {

// 1-s samples at rest on Z (counts per G 10) with shocks on X of 3.5, 9, 6 and 4.5 g at samples 100,
// 300, 500 and 700; the shock's neighbours carry half of it.
std::vector<analysis::Sample> Shocks() {
    std::vector<analysis::Sample> samples(900);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i].timeMs = std::int64_t(i) * 1000;
        samples[i].z = 10;
    }
    const std::pair<std::size_t, int> shocks[] = {{100, 35}, {300, 90}, {500, 60}, {700, 45}};
    for (auto [at, x] : shocks) {
        samples[at].x = x;
        samples[at - 1].x = samples[at + 1].x = x / 2;
    }
    return samples;
}

std::vector<std::size_t> PeaksInRowOrder(const TForm7& list) {
    std::vector<std::size_t> peaks;
    for (int row = 0; row < list.ListView1->rowCount(); ++row)
        peaks.push_back(list.EventOfRow(row)->peakAt);
    return peaks;
}

} // namespace

TEST(EventList, SortsByTimeAndPeakEditsTheThresholdAndCentresTheGraph) {
    const std::vector<analysis::Sample> samples = Shocks();
    TForm7 list;
    std::vector<std::size_t> centred;
    list.OnCentre = [&](std::size_t sample) { centred.push_back(sample); };
    list.SetSamples(samples, 10, [](std::size_t i) { return QStringLiteral("t%1").arg(i); });
    list.show();

    EXPECT_EQ(list.windowTitle(), QStringLiteral("イベント一覧"));
    EXPECT_EQ(list.Edit1->text(), QStringLiteral("3.0")); // the median 1 g plus 2 g
    ASSERT_EQ(list.ListView1->rowCount(), 4);
    EXPECT_EQ(PeaksInRowOrder(list), (std::vector<std::size_t>{100, 300, 500, 700})); // time order
    EXPECT_EQ(list.ListView1->item(1, TForm7::kPeakAt)->text(), QStringLiteral("t300"));
    EXPECT_EQ(list.ListView1->item(1, TForm7::kPeak)->text(), QStringLiteral("9.055"));
    EXPECT_EQ(list.ListView1->item(1, TForm7::kX)->text(), QStringLiteral("9.000"));
    EXPECT_EQ(list.ListView1->item(1, TForm7::kSamples)->text(), QStringLiteral("3")); // 4.5 g beside it
    EXPECT_TRUE(list.Label2->text().contains(QStringLiteral("4 件")));

    // Peak, largest first, by clicking its header twice; then back to time order by the start column.
    QHeaderView* header = list.ListView1->horizontalHeader();
    const auto click = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    click(TForm7::kPeak);
    if (header->sortIndicatorOrder() == Qt::AscendingOrder) click(TForm7::kPeak);
    EXPECT_EQ(PeaksInRowOrder(list), (std::vector<std::size_t>{300, 500, 700, 100}));
    click(TForm7::kStart);
    if (header->sortIndicatorOrder() == Qt::DescendingOrder) click(TForm7::kStart);
    EXPECT_EQ(PeaksInRowOrder(list), (std::vector<std::size_t>{100, 300, 500, 700}));

    // Choosing a row hands its peak sample to the graph.
    click(TForm7::kPeak);
    if (header->sortIndicatorOrder() == Qt::AscendingOrder) click(TForm7::kPeak);
    const QRect second = list.ListView1->visualRect(list.ListView1->model()->index(1, TForm7::kStart));
    QTest::mouseClick(list.ListView1->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(centred, (std::vector<std::size_t>{500}));

    // A higher threshold lists fewer events, the sort kept; a text that is no positive number changes
    // nothing.
    list.Edit1->setText(QStringLiteral("5.5"));
    QTest::keyClick(list.Edit1, Qt::Key_Return);
    EXPECT_EQ(PeaksInRowOrder(list), (std::vector<std::size_t>{300, 500}));
    EXPECT_DOUBLE_EQ(list.Threshold(), 5.5);
    for (const char* bad : {"abc", "0", "-2", "nan", ""}) {
        list.Edit1->setText(QString::fromUtf8(bad));
        list.Button1->click();
        EXPECT_EQ(list.ListView1->rowCount(), 2) << bad;
        EXPECT_DOUBLE_EQ(list.Threshold(), 5.5) << bad;
        EXPECT_TRUE(list.Label2->text().contains(QStringLiteral("正の数"))) << bad;
    }
}
