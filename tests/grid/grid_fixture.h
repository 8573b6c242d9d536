#pragma once
// A grid over a QStandardItemModel, shown offscreen, with the model checked
// by QAbstractItemModelTester throughout.
#include "extended_grid.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

#include <initializer_list>

namespace quorvil::testing {

using namespace Qt::StringLiterals;

class TGridFixture {
public:
    TGridFixture(std::initializer_list<QStringList> rows)
        : tester_(&model, QAbstractItemModelTester::FailureReportingMode::QtTest)
    {
        int row = 0;
        for (const QStringList& cells : rows) {
            for (int col = 0; col < cells.size(); ++col)
                model.setItem(row, col, new QStandardItem(cells[col]));
            ++row;
        }
        grid.setObjectName(u"Grid3"_s);
        grid.setModel(&model);
        grid.resize(600, 300);
    }

    void Show()
    {
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
    }

    // Applies `change` to a copy of column `col` and hands it back.
    template <class Change>
    void Configure(int col, Change change)
    {
        TGridColumn column = *grid.Column(col);
        change(column);
        grid.SetColumn(col, column);
    }

    void MakeBoolean(int col, bool editable = true)
    {
        Configure(col, [editable](TGridColumn& c) {
            c.ColumnKind = TColumnKind::CheckBox;
            c.SetCheckedValue(u"1"_s);
            c.SetUncheckedValue(u"0"_s);
            c.Editable = editable;
        });
    }

    void MakeKind(int col, TColumnKind kind, bool editable = true)
    {
        Configure(col, [=](TGridColumn& c) {
            c.ColumnKind = kind;
            c.Editable = editable;
        });
    }

    void MakeList(int col, const QStringList& items, const QStringList& values)
    {
        Configure(col, [&](TGridColumn& c) {
            c.ColumnKind = TColumnKind::List;
            c.Editable = true;
            c.ComboItems = items;
            c.ComboValues = values;
        });
    }

    QString Text(int col, int row) const { return grid.CellText(col, row); }
    QPoint CellCentre(int col, int row) const { return grid.visualRect(model.index(row, col)).center(); }

    QStandardItemModel model;
    TExtendedGrid grid;

private:
    QAbstractItemModelTester tester_;
};

}  // namespace quorvil::testing
