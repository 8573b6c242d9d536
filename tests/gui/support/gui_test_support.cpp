#include "gui_test_support.h"

#include "config_store.h"
#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace quorvil::test {

void AnswerAfter(const std::function<void(QDialog&)>& inspect, const QString& buttonName)
{
    QueueModalAnswer([inspect, buttonName](QDialog& dialog) {
        inspect(dialog);
        auto* button = dialog.findChild<QPushButton*>(buttonName);
        if (button)
            button->click();
        else
            dialog.done(-1);  // the test asked for a button the dialog lacks
    });
}

void AnswerButton(const QString& buttonName)
{
    AnswerAfter([](QDialog&) {}, buttonName);
}

void AnswerKey(int key)
{
    QueueModalAnswer([key](QDialog& dialog) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target && dialog.isAncestorOf(target) ? target : &dialog, Qt::Key(key));
    });
}

void AnswerInputLine(const QString& text)
{
    QueueModalAnswer([text](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

ConfigHome::ConfigHome() : old_(qgetenv("XDG_CONFIG_HOME")), hadOld_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path()));
}

ConfigHome::~ConfigHome()
{
    if (hadOld_)
        qputenv("XDG_CONFIG_HOME", old_);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

std::string ConfigHome::Read(const std::string& section, const std::string& key) const
{
    return OpenConfig()->ReadString(section, key);
}

void ConfigHome::Write(const std::string& section, const std::string& key, const std::string& value) const
{
    OpenConfig()->WriteString(section, key, value);
}

void FillDatabase(TJFILE& db, const std::vector<FieldSpec>& fields, const std::vector<std::vector<std::string>>& rows)
{
    db.SetFieldCount(int(fields.size()));
    for (size_t f = 0; f < fields.size(); ++f) {
        db.SetFieldName(int(f + 1), fields[f].name);
        db.SetFieldType(int(f + 1), fields[f].type);
        for (size_t k = 0; k < fields[f].popup.size(); ++k)
            db.SetPopupItem(int(f + 1), int(k + 1), fields[f].popup[k]);
    }
    db.SetRecordCount(uint16_t(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t f = 0; f < rows[r].size(); ++f)
            db.SetCell(int(r + 1), int(f + 1), rows[r][f]);
}

std::string MakeDatabase(const QString& directory, const std::string& fileName, const std::string& title,
                         const std::vector<FieldSpec>& fields, const std::vector<std::vector<std::string>>& rows)
{
    const std::string path = QStringToPath(directory) + "/" + fileName;
    auto db = CreateNew<TJFILE>(path);
    FillDatabase(*db, fields, rows);
    db->SaveWithName(title);
    return path;
}

}  // namespace quorvil::test
