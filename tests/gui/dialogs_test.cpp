// The message dialog, the one-line input, the long-text editor, the date,
// directory and field pickers and the popup list editor, answered as a
// person would.
#include "date_dialog.h"
#include "define_dialog.h"
#include "definition_editor.h"
#include "directory_dialog.h"
#include "field_definition.h"
#include "field_dialog.h"
#include "field_types.h"
#include "fields_dialog.h"
#include "form_position.h"
#include "gui_test_support.h"
#include "input_dialog.h"
#include "long_text_dialog.h"
#include "message_dialog.h"
#include "modal.h"
#include "popup_list_dialog.h"
#include "text_convert.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>

using namespace quorvil;
using namespace quorvil::test;

Q_DECLARE_METATYPE(std::vector<quorvil::TMsgButton>)

namespace {

// Names of the buttons of a form, left to right.
QStringList ButtonRow(QDialog& dialog)
{
    QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
    QStringList names;
    for (QPushButton* button : buttons)
        names << button->objectName();
    return names;
}

}  // namespace

class DialogsTest : public GuiCase {
    Q_OBJECT

private slots:

    void plan_chooses_default_and_cancel_data()
    {
        using B = TMsgButton;
        QTest::addColumn<std::vector<TMsgButton>>("list");
        QTest::addColumn<int>("requested");  // -1: none
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<int>("cancelButton");
        QTest::newRow("yes no") << std::vector{B::Yes, B::No} << -1 << 2 << int(B::Yes) << int(B::No);
        QTest::newRow("caller's no-to-all wins") << std::vector{B::Yes, B::No, B::YesToAll, B::NoToAll, B::Cancel}
                                                 << int(B::NoToAll) << 5 << int(B::NoToAll) << int(B::Cancel);
        QTest::newRow("OK twice is one default OK") << std::vector{B::OK, B::OK} << -1 << 1 << int(B::OK) << int(B::OK);
        QTest::newRow("a kind listed twice is the default")
            << std::vector{B::No, B::Cancel, B::No} << -1 << 2 << int(B::No) << int(B::Cancel);
        QTest::newRow("OK before Yes") << std::vector{B::Yes, B::OK} << -1 << 2 << int(B::OK) << int(B::OK);
        QTest::newRow("retry without OK or Yes")
            << std::vector{B::Cancel, B::Retry} << -1 << 2 << int(B::Retry) << int(B::Cancel);
        QTest::newRow("first listed otherwise, no Escape")
            << std::vector{B::Ignore, B::YesToAll, B::NoToAll} << -1 << 3 << int(B::Ignore) << -1;
        QTest::newRow("a default not in the list is ignored")
            << std::vector{B::Yes, B::No} << int(B::Cancel) << 2 << int(B::Yes) << int(B::No);
    }
    void plan_chooses_default_and_cancel()
    {
        QFETCH(std::vector<TMsgButton>, list);
        QFETCH(int, requested);
        const TButtonPlan plan = PlanButtons(list, requested < 0 ? std::optional<TMsgButton>()
                                                                 : std::optional(TMsgButton(requested)));
        QTEST(int(plan.Buttons.size()), "buttons");
        QTEST(int(plan.Default), "defaultButton");
        QTEST(plan.Cancel ? int(*plan.Cancel) : -1, "cancelButton");
    }

    void every_button_answers_itself_and_escape_its_cancel()
    {
        for (int k = 0; k < kButtonKinds; ++k) {
            AnswerButton(ButtonName(TMsgButton(k)));
            QCOMPARE(int(MessageDlgButtons(FromUtf8("q"), TMsgKind::Custom, {TMsgButton(k)}, kNoDefault)), k);
        }
        AnswerKey(Qt::Key_Escape);
        QCOMPARE(
            MessageDlgButtons(FromUtf8("Sure?"), TMsgKind::Confirmation, {TMsgButton::Yes, TMsgButton::No}, kNoDefault),
            TMsgButton::No);
        bool stillOpen = false;  // no Cancel button: Escape does nothing, closing answers Cancel
        QueueModalAnswer([&](QDialog& d) {
            QTest::keyClick(&d, Qt::Key_Escape);
            stillOpen = d.isVisible();
            d.close();
        });
        QCOMPARE(MessageDlgButtons(FromUtf8("q"), TMsgKind::Warning,
                                   {TMsgButton::Ignore, TMsgButton::Fix, TMsgButton::Details}, kNoDefault),
                 TMsgButton::Cancel);
        QVERIFY(stillOpen);
    }

    void message_kinds_pick_title_and_buttons()
    {
        QStringList titles, rows;
        const std::vector<std::pair<const char*, std::function<void()>>> shows = {
            {"OK", [] { ShowWarning(FromUtf8("text")); }},
            {"Abort", [] { ShowError(FromUtf8("text"), TMsgButton::Abort); }},
            {"OK", [] { ShowInformation(FromUtf8("text")); }},
            {"Yes", [] { QVERIFY(AskYesNo(FromUtf8("text"))); }}};
        for (const auto& [answer, show] : shows) {
            AnswerAfter(
                [&](QDialog& d) {
                    titles << d.windowTitle();
                    rows << ButtonRow(d).join(FromUtf8(","));
                    // A short text still leaves the title bar room for its whole title.
                    QFont bold = d.font();
                    bold.setBold(true);
                    const int bar = d.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &d);
                    QVERIFY(d.width() >= QFontMetrics(bold).horizontalAdvance(d.windowTitle()) + 3 * bar);
                },
                FromUtf8(answer));
            show();
        }
        QCOMPARE(titles,
                 QStringList({FromUtf8("Warning"), FromUtf8("Error"), FromUtf8("Information"), FromUtf8("Confirm")}));
        QCOMPARE(rows, QStringList({FromUtf8("OK"), FromUtf8("Abort"), FromUtf8("OK"), FromUtf8("Yes,No")}));
    }

    void buttons_stand_in_list_order_with_focus_on_default()
    {
        QStringList row;
        QString focused, shown;
        QPoint at;
        AnswerAfter(
            [&](QDialog& d) {
                row = ButtonRow(d);
                focused = d.focusWidget() ? d.focusWidget()->objectName() : QString();
            },
            FromUtf8("Cancel"));
        QCOMPARE(MessageDlgButtons(
                     FromUtf8("Replace?"), TMsgKind::Confirmation,
                     {TMsgButton::Yes, TMsgButton::No, TMsgButton::YesToAll, TMsgButton::NoToAll, TMsgButton::Cancel},
                     TMsgButton::NoToAll),
                 TMsgButton::Cancel);
        QCOMPARE(row, QStringList({FromUtf8("Yes"), FromUtf8("No"), FromUtf8("YesToAll"), FromUtf8("NoToAll"),
                                   FromUtf8("Cancel")}));
        QCOMPARE(focused, FromUtf8("NoToAll"));
        AnswerKey(Qt::Key_Return);
        QCOMPARE(MessageDlgButtons(FromUtf8("q"), TMsgKind::Confirmation,
                                   {TMsgButton::Yes, TMsgButton::No, TMsgButton::YesToAll, TMsgButton::Cancel},
                                   TMsgButton::Yes),
                 TMsgButton::Yes);
        // A question's own words stand in a standard button's place and leave
        // the next question's words alone; CR LF is one break; the form
        // stands at the given corner.
        AnswerAfter(
            [&](QDialog& d) {
                shown = d.findChild<QLabel*>(FromUtf8("Message"))->text() + Btn(d, "YesToAll")->text();
                at = d.pos();
            },
            FromUtf8("YesToAll"));
        QCOMPARE(MessageDlgEx(FromUtf8("Save?\r\n(x.PDB)"), TMsgKind::Information, {TMsgButton::OK, TMsgButton::Save},
                              kNoDefault, 40, 30),
                 TMsgButton::Save);
        QCOMPARE(shown, FromUtf8("Save?\n(x.PDB)&Save"));
        QCOMPARE(at, QPoint(40, 30));
        AnswerAfter([&](QDialog& d) { shown = Btn(d, "YesToAll")->text(); }, FromUtf8("YesToAll"));
        MessageDlgButtons(FromUtf8("q"), TMsgKind::Confirmation, {TMsgButton::Yes, TMsgButton::YesToAll}, kNoDefault);
        QCOMPARE(shown, FromUtf8("Yes to &all"));
    }

    // The underlined letter presses its button, with Alt or without (the
    // question before a save, as the tabs ask it).
    void a_buttons_letter_presses_it_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("answer");
        QTest::newRow("N") << int(Qt::Key_N) << int(Qt::NoModifier) << int(TMsgButton::No);
        QTest::newRow("Alt+N") << int(Qt::Key_N) << int(Qt::AltModifier) << int(TMsgButton::No);
        QTest::newRow("Y") << int(Qt::Key_Y) << int(Qt::NoModifier) << int(TMsgButton::Yes);
        QTest::newRow("C") << int(Qt::Key_C) << int(Qt::NoModifier) << int(TMsgButton::Cancel);
    }
    void a_buttons_letter_presses_it()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, answer);
        QueueModalAnswer([&](QDialog& d) {
            d.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            QTest::keyClick(d.focusWidget() ? d.focusWidget() : &d, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            // A shortcut presses its button animated, a moment later.
            if (!QTest::qWaitFor([&d] { return !d.isVisible(); }, 2000))
                d.reject();  // the key pressed nothing
        });
        QCOMPARE(int(MessageDlgButtons(FromUtf8("Save edited database?\r\n(x.PDB)"), TMsgKind::Confirmation,
                                       {TMsgButton::Yes, TMsgButton::No, TMsgButton::Cancel}, kNoDefault)),
                 answer);
    }

    void input_line_shows_caption_and_text_and_stops_at_maximum_length()
    {
        QString caption, shown;
        QString text = FromUtf8("My title");
        QueueModalAnswer([&](QDialog& d) {
            caption = d.windowTitle();
            shown = d.findChild<QLineEdit*>()->text();
            QTest::keyClicks(d.findChild<QLineEdit*>(), FromUtf8("xyz"));
            QTest::keyClick(d.findChild<QLineEdit*>(), Qt::Key_Escape);
        });
        QVERIFY(!InputLine(FromUtf8("Database Title"), text, 31));
        QCOMPARE(caption + shown + text, FromUtf8("Database TitleMy titleMy title"));
        AnswerInputLine(FromUtf8("abcdefghijklmnopqrstu"));  // 21 characters
        QVERIFY(InputLine(FromUtf8("Database Title"), text, 20));
        QCOMPARE(text, FromUtf8("abcdefghijklmnopqrst"));
        for (const char* button : {"CancelBtn", "OkBtn"}) {
            QueueModalAnswer([button](QDialog& d) {
                QTest::keyClicks(d.findChild<QLineEdit*>(), FromUtf8("!"));
                Btn(d, button)->click();
            });
            QCOMPARE(InputLine(FromUtf8("Database Title"), text, 31), QByteArray(button) == "OkBtn");
        }
        QCOMPARE(text, FromUtf8("!"));  // the selected text was typed over
    }

    void long_text_conversions_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("value");
        QTest::newRow("CR LF is one break") << FromUtf8("a\r\nb") << FromUtf8("a\u00A4b");
        QTest::newRow("lone CR") << FromUtf8("a\rb") << FromUtf8("a\u00A4b");
        QTest::newRow("breaks at both ends dropped") << FromUtf8("\n\na\n\n") << FromUtf8("a");
        QTest::newRow("inner empty line kept") << FromUtf8("a\n\nb") << FromUtf8("a\u00A4\u00A4b");
    }
    void long_text_conversions()
    {
        QFETCH(QString, memo);
        QTEST(ValueFromMemoText(memo), "value");
    }

    void long_text_editor_shows_lines_gives_value_back_and_remembers_its_place()
    {
        QString value = FromUtf8("a\u00A4b");
        QString shown;
        QueueModalAnswer([&](QDialog& d) {
            auto* memo = d.findChild<QPlainTextEdit*>(FromUtf8("Memo"));
            shown = memo->toPlainText();
            memo->moveCursor(QTextCursor::End);
            QTest::keyClick(memo, Qt::Key_Return);  // an empty last line
            d.window()->move(33, 44);
            d.window()->resize(500, 300);
            Btn(d, "OkBtn")->click();
        });
        QVERIFY(EditLongText(value));
        QCOMPARE(shown, FromUtf8("a\nb"));
        QCOMPARE(value, FromUtf8("a\u00A4b"));
        QCOMPARE(QString::fromStdString(config_->Read(CurrentScreenSection(), "EditFormPos")),
                 FromUtf8("33,44,500,300"));
        QueueModalAnswer([](QDialog& d) {
            d.findChild<QPlainTextEdit*>()->setPlainText(FromUtf8("changed"));
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        QVERIFY(!EditLongText(value));
        QCOMPARE(value, FromUtf8("a\u00A4b"));
        TEditForm again;
        QCOMPARE(again.geometry().topLeft() + QPoint(again.width(), again.height()), QPoint(533, 344));
    }

    void date_picker_accepts_activated_day()
    {
        QDate date(2001, 2, 3);
        QDate shown;
        QueueModalAnswer([&](QDialog& d) {
            auto* calendar = d.findChild<QCalendarWidget*>();
            shown = calendar->selectedDate();
            calendar->setSelectedDate(QDate(2001, 2, 14));
            emit calendar->activated(calendar->selectedDate());
        });
        QVERIFY(PickDate(10, 10, date));
        QCOMPARE(shown, QDate(2001, 2, 3));
        QCOMPARE(date, QDate(2001, 2, 14));
    }

    void field_choosers()
    {
        bool okAtStart = true;
        QueueModalAnswer([&](QDialog& d) {
            auto* form = static_cast<TFieldForm*>(&d);
            okAtStart = form->OkButton()->isEnabled();
            form->FieldList()->setCurrentIndex(1);
            form->OkButton()->click();
        });
        QCOMPARE(ChooseField({FromUtf8("Name"), FromUtf8("Colour"), FromUtf8("Size")}), 1);
        QVERIFY(!okAtStart);
        QueueModalAnswer([](QDialog& d) {
            Btn(d, "NoneBtn")->click();
            d.findChild<QListWidget*>()->item(2)->setCheckState(Qt::Checked);
            Btn(d, "OkBtn")->click();
        });
        QCOMPARE(ChooseFields({FromUtf8("a"), FromUtf8("b"), FromUtf8("c")}), (std::vector<bool>{false, false, true}));
    }

    void directory_picker_lists_visible_subdirectories_and_falls_back()
    {
        QTemporaryDir base;
        for (const char* sub : {"data/inner", "photos", ".hidden"})
            QDir(base.path()).mkpath(FromUtf8(sub));
        QStringList children;
        QString status, root;
        QueueModalAnswer([&](QDialog& d) {
            auto* tree = d.findChild<QTreeWidget*>();
            root = tree->topLevelItem(0)->text(0);
            QTreeWidgetItem* node = tree->currentItem();
            node->setExpanded(true);
            for (int i = 0; i < node->childCount(); ++i)
                children << node->child(i)->text(0);
            status = d.findChild<QLabel*>(FromUtf8("StatusBar"))->text();
            tree->setCurrentItem(node->child(1));
            Btn(d, "OkBtn")->click();
        });
        QCOMPARE(PickDirectory(base.path()), base.path() + FromUtf8("/photos"));
        QCOMPARE(children, QStringList({FromUtf8("data"), FromUtf8("photos")}));
        QCOMPARE(status, FromUtf8("  ") + QDir::toNativeSeparators(base.path()));
        QCOMPARE(root, FromUtf8("My Computer"));
        AnswerButton(FromUtf8("CancelBtn"));
        QCOMPARE(PickDirectory(FromUtf8("/no/such/dir")), FromUtf8("/no/such/dir"));
        AnswerButton(FromUtf8("OkBtn"));
        QCOMPARE(PickDirectory(FromUtf8("/no/such/dir")), QCoreApplication::applicationDirPath());
    }

    void popup_list_editing_gives_the_list_back_on_ok_data()
    {
        QTest::addColumn<QStringList>("start");
        QTest::addColumn<int>("row");  // selected before the action
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("result");
        QTest::addColumn<int>("selected");
        const QStringList abc{FromUtf8("a"), FromUtf8("b"), FromUtf8("c")};
        QTest::newRow("add after the second")
            << abc << 1 << FromUtf8("AddBtn")
            << QStringList{FromUtf8("a"), FromUtf8("b"), FromUtf8("new"), FromUtf8("c")} << 2;
        QTest::newRow("add with none selected")
            << abc << -1 << FromUtf8("AddBtn")
            << QStringList{FromUtf8("new"), FromUtf8("a"), FromUtf8("b"), FromUtf8("c")} << 0;
        QTest::newRow("edit") << abc << 1 << FromUtf8("EditBtn")
                              << QStringList{FromUtf8("a"), FromUtf8("new"), FromUtf8("c")} << 1;
        QTest::newRow("delete the last") << abc << 2 << FromUtf8("DelBtn") << QStringList{FromUtf8("a"), FromUtf8("b")}
                                         << 1;
        QTest::newRow("delete the only") << QStringList{FromUtf8("a")} << 0 << FromUtf8("DelBtn") << QStringList()
                                         << -1;
        QTest::newRow("up") << abc << 2 << FromUtf8("UpBtn") << QStringList{FromUtf8("a"), FromUtf8("c"), FromUtf8("b")}
                            << 1;
        QTest::newRow("down") << abc << 0 << FromUtf8("DownBtn")
                              << QStringList{FromUtf8("b"), FromUtf8("a"), FromUtf8("c")} << 1;
        QTest::newRow("sort ignores case")
            << QStringList{FromUtf8("pear"), FromUtf8("Apple"), FromUtf8("banana")} << 0 << FromUtf8("SortBtn")
            << QStringList{FromUtf8("Apple"), FromUtf8("banana"), FromUtf8("pear")} << 2;
    }
    void popup_list_editing_gives_the_list_back_on_ok()
    {
        QFETCH(QStringList, start);
        QFETCH(int, row);
        QFETCH(QString, action);
        QFETCH(int, selected);
        TPopForm form;
        int selectedAfter = -2;
        QString caption;
        QueueModalAnswer([&](QDialog& d) {
            caption = d.windowTitle();
            form.ListBox()->setCurrentRow(row);
            if (action == FromUtf8("AddBtn") || action == FromUtf8("EditBtn"))
                AnswerInputLine(FromUtf8("new"));
            else if (action == FromUtf8("DelBtn"))
                AnswerButton(ButtonName(TMsgButton::Yes));
            QVERIFY(!Btn(d, "OkBtn")->isEnabled());
            Btn(d, action.toUtf8().constData())->click();
            selectedAfter = form.ListBox()->currentRow();
            Btn(d, "OkBtn")->click();
        });
        QStringList list = start;
        QVERIFY(form.EditPopupList(list, FromUtf8("Popup List for \"Colour\"")));
        QCOMPARE(caption, FromUtf8("Popup List for \"Colour\""));
        QTEST(list, "result");
        QCOMPARE(selectedAfter, selected);
    }

    void popup_list_limits_and_cancel()
    {
        QStringList full;
        for (int i = 0; i < TPopForm::kMaxItems; ++i)
            full << QString::number(i);
        TPopForm form;
        QList<bool> enabled;
        QueueModalAnswer([&](QDialog& d) {
            enabled << Btn(d, "AddBtn")->isEnabled();  // not at a hundred values
            AnswerButton(ButtonName(TMsgButton::No));
            Btn(d, "DelBtn")->click();
            enabled << Btn(d, "OkBtn")->isEnabled();  // No keeps the value
            AnswerButton(ButtonName(TMsgButton::Yes));
            Btn(d, "DelBtn")->click();
            enabled << Btn(d, "AddBtn")->isEnabled();
            Btn(d, "CancelBtn")->click();
        });
        QStringList list = full;
        QVERIFY(!form.EditPopupList(list, FromUtf8("Popup List")));
        QCOMPARE(list, full);
        QCOMPARE(enabled, (QList<bool>{false, false, true}));
    }

    // A second field of a name is refused and left to be mended, the focus
    // on it; a retype says what it leaves unread, and Cancel there goes
    // back to the window.
    void definition_editor_refuses_a_name_twice_and_asks_before_retyping()
    {
        auto db = MemoryDatabase({{"Team", TFieldType::String, {}}, {"City", TFieldType::String, {}}},
                                 {{"Red Sox", "Boston"}, {"Cubs", "Chicago"}, {"12", ""}});
        const Rows before = Content(*db);
        TEditDB edit;
        QString refusal, question, again;
        bool openAfterRefusal = false, openAfterCancel = false;
        QueueModalAnswer([&](QDialog& d) {
            QLineEdit* city = edit.NameEdit(1);
            city->setFocus();
            QTest::keyClick(city, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(city, FromUtf8("team"));
            AnswerMessage(refusal);
            edit.TypeBox(0)->setFocus();
            QTest::keyClick(edit.TypeBox(0), Qt::Key_Return);
            openAfterRefusal = d.isVisible() && city->text() == FromUtf8("team") && d.focusWidget() == city;
            QTest::keyClick(city, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(city, FromUtf8("Town"));
            edit.TypeBox(0)->setFocus();
            QTest::keyClick(edit.TypeBox(0), Qt::Key_I);  // INTEGER
            AnswerMessage(question, ButtonName(TMsgButton::Cancel));
            QTest::keyClick(edit.TypeBox(0), Qt::Key_Return);
            openAfterCancel = d.isVisible() && edit.TypeBox(0)->currentText() == FromUtf8("INTEGER");
            AnswerMessage(again, ButtonName(TMsgButton::OK));
            QTest::keyClick(edit.TypeBox(0), Qt::Key_Return);
        });
        QVERIFY(edit.Execute(*db));
        QCOMPARE(refusal, FromUtf8("Fields 1 and 2 are named \"Team\" and \"team\", which count as one name. "
                                   "Give each field a name of its own."));
        QVERIFY(openAfterRefusal);
        QCOMPARE(question, FromUtf8("2 values of Team are not whole numbers; they stay as they are and sort first.\n\n"
                                    "OK changes the definition; Cancel goes back to it."));
        QVERIFY(openAfterCancel);
        QCOMPARE(again, question);
        QCOMPARE(Content(*db), before);  // the window only reads
        WriteDefinition(*db, edit.Definition());
        QCOMPARE(db->GetFieldName(2) + "|" + TypeName(db->GetFieldType(1)), std::string("Town|INTEGER"));
        QCOMPARE(db->GetCell(1, 1) + "|" + db->GetCell(2, 1) + "|" + db->GetCell(3, 1), std::string("Red Sox|Cubs|12"));
    }

    // The new database's field list refuses a name it holds, case ignored,
    // and offers the name again to be mended.
    void define_dialog_refuses_a_name_twice_and_offers_it_again()
    {
        TDefineForm define;
        QString refusal, offered;
        QueueModalAnswer([&](QDialog&) {
            AnswerInputLine(FromUtf8("Team"));
            define.AddButton()->click();
            AnswerInputLine(FromUtf8(" TEAM "));
            AnswerMessage(refusal);
            QueueModalAnswer([&](QDialog& line) {
                offered = line.findChild<QLineEdit*>()->text();
                QTest::keyClick(line.findChild<QLineEdit*>(), Qt::Key_Home);
                QTest::keyClicks(line.findChild<QLineEdit*>(), FromUtf8("Home "));
                QTest::keyClick(line.findChild<QLineEdit*>(), Qt::Key_Return);
            });
            define.AddButton()->click();
            define.OkButton()->click();
        });
        QVERIFY(define.DefineNewDatabase());
        QCOMPARE(refusal,
                 FromUtf8("A field named \"Team\" is in the list already. Give the new field a name of its own."));
        QCOMPARE(offered, FromUtf8("TEAM"));
        QCOMPARE(define.Values(), (QStringList{FromUtf8("Team"), FromUtf8("Home TEAM")}));
    }

    // Up and Down move a field with its type and popup values, and stop at
    // the ends of the list.
    void define_dialog_moves_a_field_with_its_type_and_popup_values()
    {
        TDefineForm define;
        QueueModalAnswer([&](QDialog&) {
            for (const char* name : {"Team", "Size"}) {
                AnswerInputLine(FromUtf8(name));
                define.AddButton()->click();
            }
            QueueModalAnswer([](QDialog& values) {
                AnswerInputLine(FromUtf8("S"));
                dynamic_cast<TPopupForm&>(values).AddButton()->click();
                dynamic_cast<TPopupForm&>(values).OkButton()->click();
            });
            define.FieldType()->setCurrentIndex(define.IndexOfType(TFieldType::List));
            define.Field_TypeChange();
            define.UpButton()->click();
            define.UpButton()->click();
            QCOMPARE(define.FieldType()->currentIndex(), define.IndexOfType(TFieldType::List));
            define.OkButton()->click();
        });
        QVERIFY(define.DefineNewDatabase());
        const TDatabaseDefinition definition = define.Definition();
        QCOMPARE(definition.Fields.size(), size_t(2));
        QCOMPARE(definition.Fields[0], (TFieldDefinition{"Size", TFieldType::List, {"S"}}));
        QCOMPARE(definition.Fields[1], (TFieldDefinition{"Team", TFieldType::String, {}}));
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
