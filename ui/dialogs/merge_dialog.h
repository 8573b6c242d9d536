#pragma once
// The field mapping of a merge: the ID field, and per field of the other
// database whether to copy it, into which master field (or a new one, with
// its name) and whether non-empty master values are overwritten. The window
// only collects the choice; the merge itself is the exchange layer's.
#include "base_dialog.h"
#include "merge.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace quorvil {

class TJFILE;

// TSyncForm: the merge window (ID fields and the field mapping).
class TSyncForm : public TBase {
    Q_OBJECT
public:
    explicit TSyncForm(QWidget* parent = nullptr);

    // Builds the rows for `other` and fills them from DefaultMergeChoice.
    // Throws std::invalid_argument (kNoIdFieldMessage) when no field can be
    // the ID field. Both databases must outlive the form's use.
    void SetDatabases(const TJFILE& master, const TJFILE& other);
    // The choice as the controls show it; OK is enabled only while every
    // new field's name goes into the master's set.
    TMergeChoice Choice() const;

    // Row j (1..field count of the other database); row 0 is the ID row.
    QCheckBox* CopyBox(int j) const { return rows_[size_t(j)].copy; }
    QComboBox* FieldCombo(int j) const { return rows_[size_t(j)].combo; }
    QCheckBox* OverwriteBox(int j) const { return rows_[size_t(j)].overwrite; }
    QLineEdit* NameEdit(int j) const { return rows_[size_t(j)].name; }
    QLabel* FieldLabel(int j) const { return rows_[size_t(j)].label; }
    QLabel* ErrMsg() const { return errMsg_; }

private:
    struct Row {
        QCheckBox* copy = nullptr;
        QLabel* label = nullptr;
        QComboBox* combo = nullptr;
        QCheckBox* overwrite = nullptr;
        QLineEdit* name = nullptr;
    };
    void BuildRows(int count);
    void CopyClick(int j);
    void FieldChanged(int j);
    void NameChanged();
    void FitToRows();
    // Why a new field's name cannot be stored in the master; empty when all
    // can.
    QString NameRefusal() const;

    const TJFILE* master_ = nullptr;
    const TJFILE* other_ = nullptr;
    std::vector<Row> rows_;
    std::vector<std::string> idNames_;
    QWidget* rowPanel_;
    QLabel* errMsg_;
};

}  // namespace quorvil
