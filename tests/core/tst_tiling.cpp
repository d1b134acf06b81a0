// Where tiled and minimised windows go: columns, layers and rows at the workspace's edges.

#include "core/Tiling.h"

#include <QTest>

class TestTiling : public QObject {
    Q_OBJECT

  private slots:
    void stacked_data() {
        QTest::addColumn<int>("windows");
        QTest::addColumn<QList<QPoint>>("expected");
        // Windows of 100 x 40 in a workspace of 250 x 110: two to a column, two columns a layer.
        QTest::newRow("one column") << 2 << QList<QPoint>{{0, 0}, {0, 40}};
        QTest::newRow("next column") << 3 << QList<QPoint>{{0, 0}, {0, 40}, {100, 0}};
        QTest::newRow("next layer")
            << 6 << QList<QPoint>{{0, 0}, {0, 40}, {100, 0}, {100, 40}, {24, 24}, {24, 64}};
    }
    void stacked() {
        QFETCH(int, windows);
        QFETCH(QList<QPoint>, expected);
        const QList<QSize> sizes(windows, QSize(100, 40));
        QCOMPARE(tiling::stackedPositions(sizes, QSize(250, 110)), expected);
    }

    void bottomRowsFillUpwards() {
        const QList<QSize> sizes(3, QSize(100, 20));
        QCOMPARE(tiling::bottomRowPositions(sizes, QSize(250, 100)),
                 (QList<QPoint>{{0, 80}, {100, 80}, {0, 60}}));
    }
};

QTEST_GUILESS_MAIN(TestTiling)
#include "tst_tiling.moc"
