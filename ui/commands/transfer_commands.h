#pragma once
// Split, copy records, merge and Import CSV: records between the active
// database and other databases and files. The commands collect the choices
// (file dialog, field chooser, the split and mapping windows) and hand them
// to the exchange layer, which does the work. A file name given to a
// command stands for the file dialog's answer.
#include "charset.h"

#include <QObject>

#include <optional>
#include <string>
#include <vector>

class QMenu;

namespace quorvil {

class TCommandContext;
class TJFILE;
struct TCopyOptions;
struct TCopyResult;

class TTransferCommands : public QObject {
    Q_OBJECT
public:
    // The copy submenu goes into `popupMenu`, the views' context menu.
    TTransferCommands(TCommandContext& context, QMenu& popupMenu);

    void SplitBtnClick();
    // Copy to other database: the records of the rows selected into the
    // database of tab `tab`, or into a database file.
    void CopyRecsToTab(int tab);
    void CopyRecsToFile(const std::string& chosenName = {});
    void MergeItemClick(const std::string& chosenName = {});
    // A CSV file (with the .DEF settings beside it, when there is one)
    // opened as a new database in a tab of its own, unsaved.
    void ImportCsvItemClick();

private:
    // The records of the rows selected, or of every record shown or held as
    // the user chooses; nothing when there are none or the user cancels.
    std::optional<std::vector<int>> RecordsToCopy();
    // Copies `records` of the active database into the database of tab `tag`.
    void CopyIntoTab(int tag, const std::vector<int>& records);
    // Copies them into the database file `fileName`, which is saved.
    void CopyIntoFile(const std::string& fileName, const std::vector<int>& records);
    // The copy's result, in the status line and a message.
    // `set` is the target's, whose names the message holds.
    void TellCopied(const QString& targetName, const TCopyResult& result, TCharset set);
    // The key to match on (shown, chosen by the user) and, when popup lists
    // cannot take every value, the user's leave to go on without them;
    // nothing when the user cancels or the databases share no field name.
    std::optional<TCopyOptions> ChooseCopyOptions(const TJFILE& source, const std::vector<int>& records,
                                                  const TJFILE& target, const QString& targetName);
    void CreateCopyMenu(QMenu& popupMenu);

    TCommandContext& context_;
};

}  // namespace quorvil
