#pragma once
// Helpers of the GUI tests: answering modal dialogs, a private configuration
// directory, and small databases built through the engine.
#include "jfile.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <string>
#include <vector>

class QDialog;

namespace quorvil::test {

// The next modal dialog: press the button with this object name.
void AnswerButton(const QString& buttonName);
// The next modal dialog: press a key in the widget that has the focus.
void AnswerKey(int key);
// The next modal dialog: run `inspect` on it, then press the button.
void AnswerAfter(const std::function<void(QDialog&)>& inspect, const QString& buttonName);
// The next input line: put `text` in and press Enter.
void AnswerInputLine(const QString& text);
// The next dialog: reject it (Escape or closing the window).
void AnswerClose();

// Points XDG_CONFIG_HOME at a fresh directory for as long as it lives.
class ConfigHome {
public:
    ConfigHome();
    ~ConfigHome();
    QString Path() const { return dir_.path(); }
    // The text of Quorvil.INI, empty when it does not exist.
    std::string IniText() const;
    std::string Read(const std::string& section, const std::string& key) const;
    void Write(const std::string& section, const std::string& key, const std::string& value) const;

private:
    QTemporaryDir dir_;
    QByteArray old_;
    bool hadOld_;
};

struct FieldSpec {
    std::string name;
    uint16_t type;
    std::vector<std::string> popup;  // for LIST fields
};

// Writes a JFile 5.5 database with these fields and rows (one string per
// field) and returns its path.
// Gives a database the fields and records.
void FillDatabase(TJFILE& db, const std::vector<FieldSpec>& fields, const std::vector<std::vector<std::string>>& rows);
std::string MakeDatabase(const QString& directory, const std::string& fileName, const std::string& title,
                         const std::vector<FieldSpec>& fields, const std::vector<std::vector<std::string>>& rows);

}  // namespace quorvil::test
