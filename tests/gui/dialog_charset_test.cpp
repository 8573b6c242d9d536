// Texts typed into the dialogs go into the database's character set: a
// character the set lacks is refused with a message, the dialog keeps the
// text for correction and nothing is stored.
#include "definition_editor.h"
#include "field_definition.h"
#include "find_dialog.h"
#include "gui_test_support.h"
#include "modal.h"
#include "popup_list_dialog.h"
#include "text_convert.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace quorvil;
using namespace quorvil::test;

namespace {

enum class TEntry { FieldName, PopupValue, FindText };

// What a dialog did with the text: the message shown, whether the text
// stood there to be mended afterwards, and the bytes it handed on.
struct TOutcome {
    QString Message;
    bool KeptForCorrection = false;
    std::string Stored;
};

// Key events with the characters' own text: QTest's key clicks carry Latin-1
// only.
void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

const QString kLodz = FromUtf8("Łódź");

// Types the name of field 2 and presses Enter (OK); a refused name is left
// with Escape.
TOutcome TypeFieldName(TJFILE& db, bool refused)
{
    TOutcome out;
    TEditDB edit;
    QueueModalAnswer([&](QDialog& d) {
        QLineEdit* city = edit.NameEdit(1);
        city->setFocus();
        QTest::keyClick(city, Qt::Key_A, Qt::ControlModifier);
        TypeText(city, kLodz);
        if (refused)
            AnswerMessage(out.Message);
        edit.TypeBox(0)->setFocus();
        QTest::keyClick(edit.TypeBox(0), Qt::Key_Return);
        out.KeptForCorrection = d.isVisible() && city->text() == kLodz && d.focusWidget() == city;
        if (d.isVisible())
            QTest::keyClick(city, Qt::Key_Escape);
    });
    if (edit.Execute(db)) {
        WriteDefinition(db, edit.Definition());
        out.Stored = db.GetFieldName(2);
    }
    return out;
}

// Adds a value to the popup list of field 1 (a List field); a refused value
// is offered again as typed, and then left.
TOutcome TypePopupValue(TJFILE& db, bool refused)
{
    TOutcome out;
    TEditDB edit;
    QueueModalAnswer([&](QDialog& d) {
        QueueModalAnswer([&](QDialog& list) {
            auto& form = dynamic_cast<TPopForm&>(list);
            QueueModalAnswer([&](QDialog& line) {
                TypeText(line.findChild<QLineEdit*>(), kLodz);
                if (refused) {
                    AnswerMessage(out.Message);
                    QueueModalAnswer([&](QDialog& again) {
                        out.KeptForCorrection = again.findChild<QLineEdit*>()->text() == kLodz;
                        QTest::keyClick(again.findChild<QLineEdit*>(), Qt::Key_Escape);
                    });
                }
                QTest::keyClick(line.findChild<QLineEdit*>(), Qt::Key_Return);
            });
            form.AddBtnClick();
            (refused ? form.CancelBtn() : form.OkBtn())->click();
        });
        edit.PopupButton(0)->click();
        edit.TypeBox(0)->setFocus();
        QTest::keyClick(edit.TypeBox(0), refused ? Qt::Key_Escape : Qt::Key_Return);
        if (d.isVisible())
            d.reject();
    });
    if (edit.Execute(db)) {
        WriteDefinition(db, edit.Definition());
        out.Stored = db.GetPopupItem(1, 2);  // added after the first, selected value
    }
    return out;
}

// Types the text to find and presses Enter (OK); a refused text is left
// with Escape.
TOutcome TypeFindText(const TJFILE& db, bool refused)
{
    TOutcome out;
    TFindForm form;
    QueueModalAnswer([&](QDialog& d) {
        form.Find()->setFocus();
        TypeText(form.Find(), kLodz);
        if (refused)
            AnswerMessage(out.Message);
        QTest::keyClick(form.Find(), Qt::Key_Return);
        out.KeptForCorrection = d.isVisible() && form.Find()->text() == kLodz && d.focusWidget() == form.Find();
        if (d.isVisible())
            QTest::keyClick(form.Find(), Qt::Key_Escape);
    });
    if (!form.ChooseFields(db).empty())
        out.Stored = form.SearchText();
    return out;
}

}  // namespace

class DialogCharsetTest : public GuiCase {
    Q_OBJECT

private slots:
    void typed_text_goes_into_the_databases_set_or_is_refused_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("set");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("stored");
        const QString refusal = FromUtf8("'Ł' cannot be stored in a Windows-1252 database; choose the database's "
                                         "character set in View > Character set");
        const QByteArray none;
        const QByteArray lodz1250("\xA3\xF3\x64\x9F");
        QTest::newRow("field name, Windows-1252")
            << int(TEntry::FieldName) << int(TCharset::Windows1252) << refusal << none;
        QTest::newRow("popup value, Windows-1252")
            << int(TEntry::PopupValue) << int(TCharset::Windows1252) << refusal << none;
        QTest::newRow("find text, Windows-1252")
            << int(TEntry::FindText) << int(TCharset::Windows1252) << refusal << none;
        QTest::newRow("field name, Windows-1250")
            << int(TEntry::FieldName) << int(TCharset::Windows1250) << QString() << lodz1250;
        QTest::newRow("popup value, Windows-1250")
            << int(TEntry::PopupValue) << int(TCharset::Windows1250) << QString() << lodz1250;
        QTest::newRow("find text, Windows-1250")
            << int(TEntry::FindText) << int(TCharset::Windows1250) << QString() << lodz1250;
    }

    void typed_text_goes_into_the_databases_set_or_is_refused()
    {
        QFETCH(int, entry);
        QFETCH(int, set);
        QFETCH(QString, message);
        QFETCH(QByteArray, stored);
        auto db = MemoryDatabase({{"Size", TFieldType::List, {"S", "M"}}, {"City", TFieldType::String, {}}},
                                 {{"S", "Boston"}, {"M", "Gdynia"}});
        db->SetCharset(TCharset(set));
        const Rows before = Content(*db);
        const bool refused = !message.isEmpty();
        // A message no row expects is noted and closed instead of waiting.
        QString unexpected;
        SetModalFallback([&unexpected](QDialog& d) {
            unexpected = MessageOf(d);
            d.reject();
        });
        TOutcome out;
        switch (TEntry(entry)) {
        case TEntry::FieldName: out = TypeFieldName(*db, refused); break;
        case TEntry::PopupValue: out = TypePopupValue(*db, refused); break;
        case TEntry::FindText: out = TypeFindText(*db, refused); break;
        }
        SetModalFallback({});
        QCOMPARE(unexpected, QString());
        QCOMPARE(out.Message, message);
        QCOMPARE(out.KeptForCorrection, refused);
        QCOMPARE(QByteArray::fromStdString(out.Stored), stored);
        if (refused || TEntry(entry) == TEntry::FindText) {
            QCOMPARE(Content(*db), before);
            QVERIFY(!db->Modified());
        }
    }
};

QTEST_MAIN(DialogCharsetTest)
#include "dialog_charset_test.moc"
