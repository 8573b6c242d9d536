#pragma once
// Find and Replace: the dialogs collect the choices, the find and replace
// unit does the work. "View all records" lifts the filter (the record
// commands).
#include <QObject>

#include <string>
#include <vector>

namespace quorvil {

class TCommandContext;
class TFindForm;
class TReplaceForm;

class TFindCommands : public QObject {
    Q_OBJECT
public:
    explicit TFindCommands(TCommandContext& context);

    void FindBtnClick();
    void ReplaceBtnClick();
    // Marks the records of the active database in which the text occurs.
    void FindRecords(const std::string& text, bool caseSensitive, const std::vector<bool>& fieldFlags, bool wordSearch);

private:
    // The dialogs live for the run.
    TFindForm& FindForm();
    TReplaceForm& ReplaceForm();

    TCommandContext& context_;
    TFindForm* findForm_ = nullptr;
    TReplaceForm* replaceForm_ = nullptr;
};

}  // namespace quorvil
