// The definition editor through the main window: what OK writes, read back
// from the saved file, and what Cancel leaves.
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "definition_editor.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "modal.h"
#include "popup_list_dialog.h"
#include "text_convert.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

using namespace quorvil;
using namespace quorvil::test;

namespace {

const std::vector<FieldSpec> kFields = {
    {"Name", kTypeString, {}}, {"Colour", kTypeList, {"Red", "Green", "Blue"}}, {"Size", kTypeInteger, {}}};
const std::vector<std::vector<std::string>> kRows = {{"apple", "Green", "10"}, {"cherry", "Red", "x"}};

QByteArray Bytes(const std::string& path)
{
    QFile file(PathToQString(path));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

}  // namespace

class DefinitionEditorTest : public QObject {
    Q_OBJECT

    ConfigHome config_;
    QTemporaryDir data_;

private slots:
    void init() { ClearModalAnswers(); }
    void cleanup() { QCOMPARE(QueuedModalAnswers(), 0); }

    void okWritesNamesTypesAndPopupOrder()
    {
        const std::string path = MakeDatabase(data_.path(), "def.pdb", "Def", kFields, kRows);
        {
            auto form = std::make_unique<TMainForm>();
            form->FormCreate({PathToQString(path)});
            QueueModalAnswer([](QDialog& d) {
                auto& edit = dynamic_cast<TEditDB&>(d);
                QVERIFY(!edit.ScrollBar()->isVisible());
                QVERIFY(!edit.PopupButton(0)->isEnabled() && edit.PopupButton(1)->isEnabled());
                QTest::keyClicks(edit.NameEdit(0), Tr("s"));  // "Names"
                QComboBox* type = edit.TypeBox(2);
                type->setCurrentIndex(type->findText(Tr("STRING")));
                emit type->activated(type->currentIndex());
                QueueModalAnswer([](QDialog& p) {
                    auto& pop = dynamic_cast<TPopForm&>(p);
                    QCOMPARE(pop.windowTitle(), Tr("Popup List for \"Colour\""));
                    pop.ListBox()->setCurrentRow(2);
                    pop.UpBtnClick();
                    pop.UpBtnClick();  // Blue, Red, Green
                    pop.OkBtn()->click();
                });
                edit.PopupButton(1)->click();
                edit.OkBtn()->click();
            });
            form->Action("EditBtn")->trigger();
            QCOMPARE(form->Tabs()->Page(0)->Model()->headerData(0, Qt::Horizontal).toString(), Tr("Names"));
            form->Tabs()->CurrentDB()->SaveWithName("Def");
        }
        auto db = Open(path);
        QCOMPARE(db->GetFieldName(1), std::string("Names"));
        QCOMPARE(db->GetFieldType(3), kTypeString);
        QCOMPARE(db->PopupCount(2), 3);
        QCOMPARE(db->GetPopupItem(2, 1) + db->GetPopupItem(2, 2) + db->GetPopupItem(2, 3),
                 std::string("BlueRedGreen"));
        // No stored value was renamed or converted.
        QCOMPARE(db->GetCell(1, 2) + db->GetCell(2, 2) + db->GetCell(2, 3), std::string("GreenRedx"));
    }

    void cancelLeavesTheFileAsItWas()
    {
        const std::string path = MakeDatabase(data_.path(), "keep.pdb", "Keep", kFields, kRows);
        const QByteArray before = Bytes(path);
        {
            auto form = std::make_unique<TMainForm>();
            form->FormCreate({PathToQString(path)});
            QueueModalAnswer([](QDialog& d) {
                auto& edit = dynamic_cast<TEditDB&>(d);
                QTest::keyClicks(edit.NameEdit(0), Tr("zz"));
                edit.CancelBtn()->click();
            });
            form->Action("EditBtn")->trigger();
            QVERIFY(!form->Tabs()->CurrentDB()->Modified);
        }
        QCOMPARE(Bytes(path), before);
    }
};

QTEST_MAIN(DefinitionEditorTest)
#include "definition_editor_test.moc"
