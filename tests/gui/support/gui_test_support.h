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

// The next modal dialog: run `inspect` on it, then press the button with
// this object name.
void AnswerAfter(const std::function<void(QDialog&)>& inspect, const QString& buttonName);
void AnswerButton(const QString& buttonName);
// The next modal dialog: press a key in the widget that has the focus.
void AnswerKey(int key);
// The next input line: put `text` in and press Enter.
void AnswerInputLine(const QString& text);

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

struct FieldSpec {
    std::string name;
    uint16_t type;
    std::vector<std::string> popup;  // for LIST fields
};

// Gives a database the fields and records (one string per field).
void FillDatabase(TJFILE& db, const std::vector<FieldSpec>& fields, const std::vector<std::vector<std::string>>& rows);
// Writes a JFile 5.5 database and returns its path.
std::string MakeDatabase(const QString& directory, const std::string& fileName, const std::string& title,
                         const std::vector<FieldSpec>& fields, const std::vector<std::vector<std::string>>& rows);

}  // namespace quorvil::test
