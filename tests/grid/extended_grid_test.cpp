// The grid's columns following the model, check boxes drawn and toggled,
// and cells written through the grid.
#include "grid_fixture.h"

#include <QHeaderView>
#include <QPainter>

using namespace quorvil;
using namespace quorvil::testing;
using namespace Qt::StringLiterals;

namespace {

// Columns that can be moved, as the main window's model moves fields.
class TMovableColumns : public QAbstractTableModel {
public:
    QStringList names{u"0"_s, u"1"_s, u"2"_s, u"3"_s};
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 1; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 4; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(names[index.column()]) : QVariant();
    }
    bool moveColumns(const QModelIndex& parent, int source, int count, const QModelIndex& destParent,
                     int dest) override
    {
        if (!beginMoveColumns(parent, source, source, destParent, dest))
            return false;
        names.move(source, dest > source ? dest - count : dest);
        endMoveColumns();
        return true;
    }
};

// A model whose every write fails, as the engine rejects a value.
class TRejectingModel : public QStandardItemModel {
public:
    using QStandardItemModel::QStandardItemModel;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role == Qt::EditRole)
            throw std::runtime_error("Record is locked");
        return QStandardItemModel::setData(index, value, role);
    }
};

QStringList Titles(const TExtendedGrid& grid)
{
    QStringList titles;
    for (const TGridColumn& column : grid.Columns())
        titles.append(column.Title);
    return titles;
}

void Name(TExtendedGrid& grid, const QStringList& titles)
{
    for (int col = 0; col < titles.size(); ++col) {
        TGridColumn column = *grid.Column(col);
        column.Title = titles[col];
        column.Width = 50 + col;
        grid.SetColumn(col, column);
    }
}

}  // namespace

class TExtendedGridTest : public QObject {
    Q_OBJECT

private slots:
    void ColumnsFollowTheModelsColumnCount()
    {
        TGridFixture f({{u"a"_s, u"b"_s, u"c"_s}});
        Name(f.grid, {u"A"_s, u"B"_s, u"C"_s});
        f.model.setColumnCount(5);
        QCOMPARE(Titles(f.grid), (QStringList{u"A"_s, u"B"_s, u"C"_s, QString(), QString()}));
        QCOMPARE(f.grid.Column(4)->ColumnKind, TColumnKind::Text);
        QCOMPARE(f.grid.columnWidth(4), 64);
        QCOMPARE(f.grid.columnWidth(2), 52);
        f.model.setColumnCount(1);
        QCOMPARE(Titles(f.grid), QStringList{u"A"_s});
        QStandardItemModel other(4, 2);
        f.grid.setModel(&other);  // a new model keeps the settings of the columns it has
        QCOMPARE(Titles(f.grid), (QStringList{u"A"_s, QString()}));
        QCOMPARE(f.grid.columnWidth(0), 50);
        f.grid.setModel(&f.model);
    }

    void MovedColumnsTakeTheirSettingsAlong()
    {
        TMovableColumns model;
        TExtendedGrid grid;
        grid.setModel(&model);
        Name(grid, model.names);
        QVERIFY(model.moveColumns({}, 0, 1, {}, 3));
        QCOMPARE(Titles(grid), (QStringList{u"1"_s, u"2"_s, u"0"_s, u"3"_s}));
        QVERIFY(model.moveColumns({}, 3, 1, {}, 0));
        QCOMPARE(Titles(grid), (QStringList{u"3"_s, u"1"_s, u"2"_s, u"0"_s}));
        QCOMPARE(grid.columnWidth(0), 53);
        QCOMPARE(grid.columnWidth(3), 50);
    }

    void SizesFollowSettingsAndTheUser()
    {
        TGridFixture f({{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}});
        f.Configure(0, [](TGridColumn& c) { c.Width = 150; });
        QCOMPARE(f.grid.columnWidth(0), 150);
        f.grid.horizontalHeader()->resizeSection(1, 90);  // a drag of the column border
        QCOMPARE(f.grid.Column(1)->Width, 90);
        QCOMPARE(f.grid.rowHeight(1), 19);
        f.grid.SetDefaultRowHeight(25);
        QCOMPARE(f.grid.rowHeight(1), 25);
    }

    void CheckBoxCellsShowThePictureOfTheirState()
    {
        TGridFixture f({{u"1"_s, u"a"_s}, {u"0"_s, u"b"_s}, {QString(), u"c"_s}});
        f.MakeBoolean(0);
        f.Configure(0, [](TGridColumn& c) { c.CellHorzAlign = THorzAlign::Center; });
        f.Show();
        f.grid.setCurrentIndex(f.model.index(0, 1));  // no focus frame over the boxes
        const QImage shown = f.grid.viewport()->grab().toImage();
        const TCheckState states[] = {TCheckState::Ticked, TCheckState::Empty, TCheckState::Neutral};
        for (int row = 0; row < 3; ++row) {
            const QPixmap picture = f.grid.CheckPicture(states[row]);
            const QRect target = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, picture.size(),
                                                     f.grid.visualRect(f.model.index(row, 0)).adjusted(1, 1, -1, -1));
            QImage expected(target.size(), QImage::Format_ARGB32_Premultiplied);
            expected.fill(f.grid.palette().color(QPalette::Active, QPalette::Button));
            QPainter(&expected).drawPixmap(0, 0, picture);
            QCOMPARE(shown.copy(target).convertToFormat(expected.format()), expected);
        }
        QVERIFY(f.grid.CheckPicture(TCheckState::Ticked).toImage()
                != f.grid.CheckPicture(TCheckState::Neutral).toImage());
    }

    void ClicksAndSpaceToggleBoxesThatMayBeEdited()
    {
        TGridFixture f({{QString(), u"0"_s, u"0"_s, u"0"_s}, {u"1"_s, u"0"_s, u"0"_s, u"0"_s}});
        for (int col = 0; col < 4; ++col)
            f.MakeBoolean(col, col != 2);
        f.model.item(0, 3)->setEditable(false);
        f.Show();
        QSignalSpy changed(&f.grid, &TExtendedGrid::OnControlChanged);
        QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.CellCentre(0, 0));
        QCOMPARE(f.Text(0, 0), u"1"_s);  // neutral becomes ticked
        QCOMPARE(changed.value(0), (QVariantList{0, 0}));
        QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.CellCentre(0, 0));
        QCOMPARE(f.Text(0, 0), u"0"_s);
        f.grid.setCurrentIndex(f.model.index(1, 0));
        QTest::keyClick(&f.grid, Qt::Key_Space);
        QCOMPARE(f.Text(0, 1), u"0"_s);
        QCOMPARE(changed.size(), 3);
        // Released on another cell, or on a box that may not change: nothing.
        QTest::mousePress(f.grid.viewport(), Qt::LeftButton, {}, f.CellCentre(1, 0));
        QTest::mouseRelease(f.grid.viewport(), Qt::LeftButton, {}, f.CellCentre(1, 1));
        for (int col : {2, 3})
            QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.CellCentre(col, 0));
        f.grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
        QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.CellCentre(1, 1));
        QCOMPARE(f.Text(1, 0) + f.Text(1, 1) + f.Text(2, 0) + f.Text(3, 0), u"0000"_s);
        QCOMPARE(changed.size(), 3);
    }

    void AWriteTheModelRejectsIsReportedAndChangesNothing()
    {
        TRejectingModel model(1, 1);
        model.setItem(0, 0, new QStandardItem(u"0"_s));
        TExtendedGrid grid;
        grid.setModel(&model);
        TGridColumn column = *grid.Column(0);
        column.ColumnKind = TColumnKind::CheckBox;
        column.SetCheckedValue(u"1"_s);
        column.Editable = true;
        grid.SetColumn(0, column);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy changed(&grid, &TExtendedGrid::OnControlChanged);
        QSignalSpy failed(&grid, &TExtendedGrid::OnControlError);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(model.index(0, 0)).center());
        QCOMPARE(failed.value(0).value(0).toString(), u"Record is locked"_s);
        QCOMPARE(model.item(0, 0)->text(), u"0"_s);
        QCOMPARE(changed.size(), 0);
    }

    void WritingCellsThroughTheGrid()
    {
        TGridFixture f({{u"a"_s, u"r"_s}, {u"b"_s, u"purple"_s}});
        f.MakeList(1, {u"Red"_s, u"Green"_s}, {u"r"_s, u"g"_s});
        QSignalSpy changed(&f.grid, &TExtendedGrid::OnControlChanged);
        f.grid.SetCellText(1, 0, u"g"_s);
        f.grid.SetCellText(0, 0, u"b"_s);
        f.grid.SetCellText(7, 7, u"outside"_s);
        QCOMPARE(f.Text(1, 0) + f.Text(0, 0), u"gb"_s);
        QCOMPARE(f.grid.DisplayText(f.model.index(0, 1)), u"Green"_s);
        QCOMPARE(f.grid.DisplayText(f.model.index(1, 1)), u"purple"_s);
        QCOMPARE(changed.size(), 0);
    }

    void WritingAListCellWithUnequalListsFails_data()
    {
        QTest::addColumn<TColumnKind>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("list") << TColumnKind::List
                              << u"ComboItems and ComboValues of column 1 of Grid3 must be of equal count."_s;
        QTest::newRow("picture") << TColumnKind::Picture
                                 << u"PictureItems and PictureValues of column 1 of Grid3 must be of equal count."_s;
    }
    void WritingAListCellWithUnequalListsFails()
    {
        QFETCH(TColumnKind, kind);
        QFETCH(QString, message);
        TGridFixture f({{u"a"_s, u"r"_s}});
        f.Configure(1, [&](TGridColumn& c) {
            c.ColumnKind = kind;
            c.ComboItems = c.PictureItems = QStringList{u"Red"_s, u"Green"_s};
            c.ComboValues = c.PictureValues = QStringList{u"r"_s};
        });
        QString caught;
        try {
            f.grid.SetCellText(1, 0, u"g"_s);
        } catch (const EGridError& error) {
            caught = error.Message();
            QCOMPARE(QString::fromUtf8(error.what()), message);
        }
        QCOMPARE(caught, message);
        QCOMPARE(f.Text(1, 0), u"r"_s);
    }
};

QTEST_MAIN(TExtendedGridTest)
#include "extended_grid_test.moc"
