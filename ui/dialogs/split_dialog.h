#pragma once
// "File Names for multiple-file output": per value of the split field
// whether to write it and under which file name, the output directory, the
// output formats and optional global values per field. The dialog hands the
// choice back; the split is the exchange layer's.
#include "charset.h"

#include <QDialog>
#include <QStringList>

#include <map>
#include <vector>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QVBoxLayout;

namespace quorvil {

struct TSplitDialogValue {
    QString Value;
    bool Ticked = false;
    QString FileName;
};

struct TSplitDialogChoice {
    QStringList FileNames;  // one per value, empty for an unticked one
    QString OutputDir;      // absolute, with a trailing separator
    bool PDB = true;
    bool CSV = false;
    bool HTM = false;
    bool TXT = false;
    std::map<int, QString> GlobalValues;  // entry of the field list (from 0) -> value
};

// TDefNameForm: the split window (file names per value, output folder, formats).
class TDefNameForm : public QDialog {
    Q_OBJECT
public:
    explicit TDefNameForm(QWidget* parent = nullptr);

    // One row per value; every format but PDB starts unticked.
    void SetValues(const std::vector<TSplitDialogValue>& values);
    // The fields that may get a global value, all unticked.
    void SetFields(const QStringList& names);
    void SetOutputDir(const QString& dir);
    // The folder typed or chosen, absolute (a relative one is taken in the
    // source database's directory), with a trailing separator; empty when
    // none is typed. Whether it exists is the caller's to check.
    QString GetOutputDir() const;
    // The source database's directory, where Browse starts and whose files
    // are kept as bare names.
    void SetSourceDir(const QString& dir) { sourceDir_ = dir; }
    // The set of the database; a global value it cannot hold is refused.
    void SetCharset(TCharset set) { charset_ = set; }
    TSplitDialogChoice Choice() const;

    // A click on a ticked entry asks for its global value.
    void FieldListClick(QListWidgetItem* item);
    QListWidget* FieldList() const { return fieldList_; }
    QCheckBox* ValueBox(int k) const { return rows_[size_t(k)].box; }
    QLineEdit* NameEdit(int k) const { return rows_[size_t(k)].edit; }
    QCheckBox* FormatBox(const char* name) const;

private:
    struct Row {
        QWidget* panel;
        QCheckBox* box;
        QLineEdit* edit;
    };
    void BrowseClick(int k);
    void AddRow();

    QListWidget* fieldList_;
    QLineEdit* dirEdit_;
    QVBoxLayout* rowLayout_;
    std::vector<Row> rows_;
    QString sourceDir_;
    TCharset charset_ = TCharset::Windows1252;
};

}  // namespace quorvil
