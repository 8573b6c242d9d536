// What a desktop user expects of the window: the keys of every command, the
// mark of unsaved changes, the Help menu and the program's icon.
#include "database.h"
#include "database_page.h"
#include "database_tabs.h"
#include "extended_grid.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "help_commands.h"
#include "main_window.h"
#include "modal.h"
#include "shortcuts_dialog.h"
#include "text_convert.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

const std::vector<FieldSpec> kFields = {{"Name", TFieldType::String, {}}, {"Qty", TFieldType::Integer, {}}};
const Rows kRows = {{"pear", "3"}, {"fig", "12"}};

void Press(QWidget& widget, const QKeySequence& key)
{
    const QKeyCombination combination = key[0];
    QTest::keyClick(&widget, combination.key(), combination.keyboardModifiers());
}

}  // namespace

class DesktopConventionsTest : public GuiCase {
    Q_OBJECT

    std::unique_ptr<TMainForm> Start()
    {
        auto form = StartMainForm({PathToQString(Db("things.PDB", "Things", kFields, kRows))});
        form->activateWindow();  // shortcuts work in the active window only
        if (!QTest::qWaitForWindowActive(form.get()))
            return nullptr;
        return form;
    }

private slots:
    // Each key triggers its command exactly once, whether the shortcut or
    // the window's own key handling takes it.
    void every_key_triggers_its_command_once()
    {
        auto form = Start();
        QVERIFY(form);
        std::vector<std::pair<const char*, QKeySequence>> keys;
        for (const auto& [name, key] :
             std::initializer_list<std::pair<const char*, const char*>>{{"NewBtn", "Ctrl+N"},
                                                                        {"LoadBtn", "Ctrl+O"},
                                                                        {"SaveBtn", "Ctrl+S"},
                                                                        {"SaveFileAsItem", "Ctrl+A"},
                                                                        {"SaveFileAsItem", "Ctrl+Shift+S"},
                                                                        {"MergeItem", "Ctrl+M"},
                                                                        {"CloseBtn", "Ctrl+W"},
                                                                        {"ExitProgItem", "Alt+X"},
                                                                        {"ExitProgItem", "Ctrl+Q"},
                                                                        {"UndoItem", "Ctrl+Z"},
                                                                        {"RedoItem", "Ctrl+Shift+Z"},
                                                                        {"AddBtn", "Ins"},
                                                                        {"FindBtn", "Ctrl+F"},
                                                                        {"ReplaceBtn", "Ctrl+H"},
                                                                        {"ShortcutsItem", "F1"}})
            keys.emplace_back(name, QKeySequence(FromUtf8(key)));
        // The platform's own keys for the same commands work as well.
        for (const auto& [name, standard] : std::initializer_list<std::pair<const char*, QKeySequence::StandardKey>>{
                 {"SaveFileAsItem", QKeySequence::SaveAs},
                 {"CloseBtn", QKeySequence::Close},
                 {"ExitProgItem", QKeySequence::Quit},
                 {"RedoItem", QKeySequence::Redo},
                 {"ShortcutsItem", QKeySequence::HelpContents}})
            for (const QKeySequence& key : QKeySequence::keyBindings(standard))
                keys.emplace_back(name, key);
        TExtendedGrid* grid = form->Tabs()->Page(0)->Grid();
        for (const auto& [name, key] : keys) {
            QAction* action = form->Action(name);
            QVERIFY2(action, name);
            // The key, not what the command then does, is under test.
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
            action->setEnabled(true);
            QSignalSpy triggered(action, &QAction::triggered);
            grid->setFocus();
            Press(*grid, key);
            QVERIFY2(triggered.size() == 1, qPrintable(FromUtf8(name) + QLatin1Char(' ') + key.toString()));
        }
    }

    void menus_show_the_keys_and_the_layouts()
    {
        auto form = Start();
        QVERIFY(form);
        const std::vector<TShortcutRow> rows = form->Help().ShortcutRows();
        QStringList shown;
        for (const TShortcutRow& row : rows)
            shown << row.Command + FromUtf8(" = ") + row.Keys;
        QVERIFY2(shown.contains(FromUtf8("File \u25B8 Save as = Ctrl+A, Ctrl+Shift+S")),
                 qPrintable(shown.join(QLatin1Char('\n'))));
        QVERIFY(shown.contains(FromUtf8("Records \u25B8 Add record = Ins")));
        QVERIFY(shown.contains(FromUtf8("Records \u25B8 Find... = Ctrl+F")));
        QCOMPARE(form->Action("SaveFileAsItem")->shortcut(), QKeySequence(FromUtf8("Ctrl+A")));

        auto* layouts = form->menuBar()->findChild<QMenu*>(FromUtf8("SaveAsLayoutMenu"));
        QVERIFY(layouts);
        QStringList texts;
        for (QAction* action : layouts->actions())
            texts << action->text();
        QCOMPARE(texts, QStringList({FromUtf8("Save as JFile v3.x"), FromUtf8("Save as JFile v4.x"),
                                     FromUtf8("Save as JFile v5.x"), FromUtf8("Save as JFile v5.5")}));

        int tableRows = 0;
        QueueModalAnswer([&](QDialog& d) {
            tableRows = dynamic_cast<TShortcutsForm&>(d).Table().rowCount();
            d.reject();
        });
        form->Action("ShortcutsItem")->trigger();
        QCOMPARE(tableRows, int(rows.size()));
        QVERIFY(AboutText().contains(FromUtf8(qVersion())));
    }

    // Our own picture in each size a taskbar or title bar asks for, not
    // the theme's generic one (a resource left out of the link has none).
    void window_shows_the_application_icon()
    {
        auto form = Start();
        QVERIFY(form);
        const QIcon icon = form->windowIcon();
        for (int size : {16, 32, 48, 256}) {
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
            QCOMPARE(icon.pixmap(size, size).size(), QSize(size, size));
        }
    }

    // The mark follows the database's state: set by an edit typed into the
    // grid, cleared by a save and by undoing back to the saved state.
    void modified_mark_follows_edits_saves_and_undo()
    {
        auto form = Start();
        QVERIFY(form);
        TDatabaseTabs& tabs = *form->Tabs();
        TExtendedGrid* grid = tabs.Page(0)->Grid();
        const auto type = [&](const char* text) {
            QVERIFY(TypeIntoCell(*grid, grid->model()->index(0, 0), FromUtf8(text)));
            QApplication::processEvents();  // the delegate commits a line edit queued
        };
        QCOMPARE(tabs.tabText(0), FromUtf8("things"));
        QVERIFY(!form->isWindowModified());

        type("plum");
        QCOMPARE(ToQString(tabs.CurrentDB()->GetCell(1, 1), TCharset::Windows1252), FromUtf8("plum"));
        QCOMPARE(tabs.tabText(0), FromUtf8("*things"));
        QVERIFY(form->isWindowModified());

        AnswerInputLine(FromUtf8("Things"));
        Press(*grid, QKeySequence::Save);
        QCOMPARE(tabs.tabText(0), FromUtf8("things"));
        QVERIFY(!form->isWindowModified());

        form->activateWindow();  // the title question took it
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        type("kiwi");
        QVERIFY(form->isWindowModified());
        QCOMPARE(ToQString(tabs.CurrentDB()->GetCell(1, 1), TCharset::Windows1252), FromUtf8("kiwi"));
        Press(*grid, QKeySequence::Undo);
        QCOMPARE(ToQString(tabs.CurrentDB()->GetCell(1, 1), TCharset::Windows1252), FromUtf8("plum"));
        QCOMPARE(tabs.tabText(0), FromUtf8("things"));
        QVERIFY(!form->isWindowModified());
    }
};

QTEST_MAIN(DesktopConventionsTest)
#include "desktop_conventions_test.moc"
