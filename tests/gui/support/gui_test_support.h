#pragma once
// Helpers of the GUI tests: answering modal dialogs, a private configuration
// directory, and small databases built through the engine.
#include "database_fixtures.h"
#include "jfile.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QDialog;
class QModelIndex;
class QPushButton;
class QTableView;

namespace quorvil {
class TMainForm;
}

namespace quorvil::test {

// The next modal dialog: run `inspect` on it, then press the button with
// this object name.
void AnswerAfter(const std::function<void(QDialog&)>& inspect, const QString& buttonName);
void AnswerButton(const QString& buttonName);
// The next modal dialog: press a key in the widget that has the focus.
void AnswerKey(int key);
// The next input line: put `text` in and press Enter.
void AnswerInputLine(const QString& text);
// The button of a dialog with this object name.
QPushButton* Btn(QDialog& dialog, const char* name);
// A left click on the middle of a column's header title.
void ClickHeader(QTableView& table, int col);
// Key clicks of `text`; a character beyond ASCII arrives as a keyboard
// layout that has it sends it: a key press with that text.
void TypeText(QWidget* widget, const QString& text);
// Makes `cell` current, types `text` into its editor (a date or time cell
// opens its line at once, a text cell at the first key) and presses Enter.
// False when no editor opened. A refusal's message is queued, not shown yet.
bool TypeIntoCell(QTableView& grid, const QModelIndex& cell, const QString& text);
// The text of a message dialog.
QString MessageOf(QDialog& dialog);
// The next message: note its text, then press `button`.
void AnswerMessage(QString& text, const QString& button = QStringLiteral("OK"));
// The next sort dialog: move `keys` to "Sorting Order" one by one, then OK.
void AnswerSortFields(const QStringList& keys);
// The next file dialog: note its title, file type and file types in
// `shown`, choose the file type `type` (from 0) and the file `name`.
void AnswerFileDialog(const QString& name, QStringList* shown = nullptr, int type = -1);

// A main window started with these arguments, shown.
std::unique_ptr<TMainForm> StartMainForm(const QStringList& arguments);
QByteArray FileBytes(const QString& path);
void WriteFile(const QString& path, const QByteArray& bytes);

// Points XDG_CONFIG_HOME at a fresh directory for as long as it lives.
class ConfigHome {
public:
    ConfigHome();
    ~ConfigHome();
    std::string Read(const std::string& section, const std::string& key) const;
    void Write(const std::string& section, const std::string& key, const std::string& value) const;

private:
    QTemporaryDir dir_;
    QByteArray old_;
    bool hadOld_;
};

// Makes a file (or a folder: no file can be made in it) unwritable for this
// process while it lives: immutable for root, to whom permissions do not
// apply, read-only for anyone else. Done() is false where neither can be
// had (the case then skips).
class WriteProtect {
public:
    explicit WriteProtect(const std::string& path);
    ~WriteProtect();
    WriteProtect(const WriteProtect&) = delete;
    WriteProtect& operator=(const WriteProtect&) = delete;
    bool Done() const { return done_; }

private:
    std::string path_;
    bool immutable_ = false;
    bool directory_ = false;
    bool done_ = false;
};

// Writes a JFile 5.5 database and returns its path.
std::string MakeDatabase(const QString& directory, const std::string& fileName, const std::string& title,
                         const std::vector<FieldSpec>& fields, const std::vector<std::vector<std::string>>& rows);

// The base of the test classes: every case runs with a configuration and a
// data directory of its own, the message texts as they start, and no modal
// answer left over.
class GuiCase : public QObject {
    Q_OBJECT

protected:
    QString Data(const QString& name) const { return data_->filePath(name); }
    std::string Db(const std::string& fileName, const std::string& title, const std::vector<FieldSpec>& fields,
                   const Rows& rows) const
    {
        return MakeDatabase(data_->path(), fileName, title, fields, rows);
    }

    std::unique_ptr<ConfigHome> config_;
    std::unique_ptr<QTemporaryDir> data_;

private slots:
    void init();
    void cleanup();
};

}  // namespace quorvil::test
