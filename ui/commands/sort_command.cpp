#include "sort_command.h"
#include "wait_cursor.h"

#include "field_definition.h"
#include "field_types.h"
#include "jfile.h"
#include "order_dialog.h"
#include "sort_dialog.h"
#include "text_convert.h"

#include <QApplication>

#include <optional>
#include <stdexcept>

namespace quorvil {

namespace {

int FirstFieldNamed(const TJFILE& db, const std::string& name)
{
    for (int f = 1; f <= db.FieldCount(); ++f)
        if (db.GetFieldName(f) == name)
            return f;
    return 0;
}

std::vector<TSavedSortChoice> SavedSorts(const TJFILE& db)
{
    std::vector<TSavedSortChoice> sorts;
    for (int s = 1; s <= 5; ++s) {
        TSavedSortChoice choice{ToQString(db.GetSavedSortName(s), db.Charset()), {}};
        for (const std::string& name : SavedSortNames(db, s))
            choice.Fields << ToQString(name, db.Charset());
        if (!choice.Fields.isEmpty())
            sorts.push_back(choice);
    }
    return sorts;
}

// Names and popup values shown from the database's bytes, back as those
// bytes: every byte survives the way there and back.
std::string Bytes(const QString& text, TCharset set)
{
    QString refusal;
    if (std::optional<std::string> bytes = FromQString(text, set, &refusal))
        return *bytes;
    throw std::runtime_error(refusal.toStdString());
}

std::vector<std::string> Bytes(const QStringList& texts, TCharset set)
{
    std::vector<std::string> bytes;
    for (const QString& text : texts)
        bytes.push_back(Bytes(text, set));
    return bytes;
}

}  // namespace

std::vector<TListKey> ListKeys(const TJFILE& db, const std::vector<std::string>& names)
{
    std::vector<TListKey> keys;
    for (const std::string& name : names) {
        const int f = FirstFieldNamed(db, name);
        if (f == 0 || db.GetFieldType(f) != TFieldType::List)
            continue;
        TListKey key{ToQString(name, db.Charset()), {}};
        for (int k = 1; k <= db.PopupCount(f); ++k)
            key.Popup << ToQString(db.GetPopupItem(f, k), db.Charset());
        keys.push_back(key);
    }
    return keys;
}

bool SortInteractively(TJFILE& db)
{
    TSortOrder order;
    {
        TSortForm form(QApplication::activeWindow());
        QStringList names;
        for (int f = 1; f <= db.FieldCount(); ++f)
            names << ToQString(db.GetFieldName(f), db.Charset());
        form.SetAvailable(names);
        form.SetSortList({});
        form.SetSavedSorts(SavedSorts(db));
        form.OfferDescending();
        if (!form.ChooseSortFields())
            return false;
        order.SortList = Bytes(form.SortNames(), db.Charset());
        // The direction is this sort's alone: the program writes no sort
        // into the file, whose saved sorts hold field numbers only.
        order.Descending = form.Descending();
    }
    const std::vector<TListKey> keys = ListKeys(db, order.SortList);
    if (!keys.empty()) {
        TOrderForm form(QApplication::activeWindow());
        form.SetKeys(keys);
        // The one act of a dialog on the database: the popup list takes the
        // user-defined order, and no record's value changes.
        form.SetPopupWriter([&db](const QString& name, const QStringList& values) {
            if (const int f = FirstFieldNamed(db, Bytes(name, db.Charset())))
                db.SetPopupList(f, Bytes(values, db.Charset()));
        });
        if (!form.ChooseListOrders())
            return false;
        order.OrderModes = form.OrderModes();
        for (const QStringList& list : form.OrderLists())
            order.OrderLists.push_back(Bytes(list, db.Charset()));
    }
    WaitCursor wait;
    SortRecords(db, order, 1, db.RecordCount());
    return true;
}

}  // namespace quorvil
