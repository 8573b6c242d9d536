#pragma once
// Save as, the exports and the database export of the active database: the
// commands collect the choices (file dialog, questions, fields) and hand
// them to the exchange layer, which does the work.
#include <QObject>

#include <cstdint>
#include <string>
#include <vector>

class QMenu;
class QToolBar;

namespace quorvil {

class TCommandContext;
class TDataBase;
enum class TExportFormat;
enum class TProgramFormat;
enum class TLayout : uint8_t;

class TExchangeCommands : public QObject {
    Q_OBJECT
public:
    explicit TExchangeCommands(TCommandContext& context);
    // The right mouse button on the save and export buttons of `toolBar`
    // opens their pop-up menus.
    void AttachPopUps(QToolBar& toolBar);
    // The exports for other programs: a submenu of the File menu and the
    // drop-down of their tool bar button.
    QMenu* ProgramExportMenu() const { return programMenu_; }

    // `entry` is the save dialog's first file type, 1..4 (JFile 3.x .. 5.5);
    // 0 picks the one of the database's layout. True when a copy in a JFile
    // layout was written.
    bool SaveFileAsItemClick(int entry);
    void SaveAsVerBtnClick(TLayout layout);
    // A button press exports without a dialog when it can; the pop-up items
    // always ask.
    void ExportClick(TExportFormat format, bool buttonPress);
    // The exports for other programs: the field chooser, the CSV options for
    // a CSV, then always the file dialog.
    void ProgramExportClick(TProgramFormat format);
    // Writes the active database to a new SQLite (or Access) file; with an
    // empty name the file dialog asks.
    void SaveAsAccessItemClick(const std::string& chosenName = {});

private:
    std::string PickSaveAsFile(const TDataBase& db, int& entry);
    std::string ExportFileName(const TDataBase& db, TExportFormat format, const std::vector<int>& fields,
                               bool buttonPress);
    std::string PickExportFile(TExportFormat format, const std::string& offered);
    std::string PickProgramExportFile(const TDataBase& db, TProgramFormat format);

    TCommandContext& context_;
    QMenu* programMenu_ = nullptr;
};

}  // namespace quorvil
