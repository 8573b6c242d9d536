#include "file_commands.h"

#include "command_context.h"
#include "command_guard.h"
#include "command_line.h"
#include "config_settings.h"
#include "config_store.h"
#include "database_tabs.h"
#include "define_dialog.h"
#include "file_choice.h"
#include "message_dialog.h"
#include "recent_list.h"
#include "text_convert.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>

#include <array>

namespace quorvil {

TFileCommands::TFileCommands(TCommandContext& context)
    : context_(context), defineForm_(new TDefineForm(&context.Window()))
{
    TCommandContext& c = context_;
    c.AddCommand("LoadBtn", "&Open...", "LoadBtnClick", [this] { LoadBtnClick(); });
    c.Action("LoadBtn")->setToolTip(FromUtf8("Open database"));
    c.AddCommand("SaveBtn", "&Save", "SaveBtnClick", [this] { SaveBtnClick(); })->setToolTip(FromUtf8("Save database"));
    c.AddCommand("CloseBtn", "&Close", "CloseBtnClick", [this] {
         CloseBtnClick();
     })->setToolTip(FromUtf8("Close database"));
    c.AddCommand("ExitProgItem", "E&xit", "ExitProgItemClick", [this] { ExitProgItemClick(); });
    c.AddCommand("NewBtn", "&New...", "NewBtnClick", [this] {
         NewBtnClick();
     })->setToolTip(FromUtf8("Create new database"));
}

void TFileCommands::LoadBtnClick()
{
    const std::vector<std::string> paths = PickDatabaseFiles(&context_.Window());
    if (paths.size() == 1) {
        OpenChosenFile(paths.front());
        return;
    }
    if (paths.empty())
        return;
    // Several files open as a drop opens them, and those left out are named.
    const TOpened opened = OpenPaths(paths);
    ShowOpened(opened);
    if (opened.LeftOut.empty())
        return;
    QStringList names;
    for (const std::string& path : opened.LeftOut)
        names << BareName(path);
    context_.StatusPanel()->setText(context_.StatusPanel()->text() + FromUtf8(" Not opened: ") +
                                    names.join(FromUtf8(", ")) + QLatin1Char('.'));
}

void TFileCommands::SaveBtnClick()
{
    TCommandContext::CommitEditing();
    context_.Tabs().SaveDatabase(context_.Tabs().CurrentTab());
}

void TFileCommands::CloseBtnClick()
{
    context_.Tabs().CloseCurrentTab();
}

void TFileCommands::ExitProgItemClick()
{
    context_.Window().close();
}

void TFileCommands::LoadFileItemClick(const TRecentList& recent, int k)
{
    RunCommand("LoadFileItemClick", [this, &recent, k] {
        const std::vector<std::string>& paths = recent.Paths();
        if (k < 1 || size_t(k) > paths.size())
            return;
        OpenChosenFile(paths[size_t(k - 1)]);
    });
}

void TFileCommands::NewBtnClick()
{
    TDatabaseTabs& tabs = context_.Tabs();
    // The new database is written in the set of the one in view, whose
    // user most likely types the same letters; Windows-1252 with none.
    const TCharset set = tabs.CurrentDB() ? tabs.CurrentDB()->Charset() : TCharset::Windows1252;
    const std::string path = PickNewFileName(&context_.Window(), FromUtf8("Name of new database file"));
    if (path.empty())
        return;
    if (context_.RefuseOpenFile(path))
        return;
    // Asked once the file is named, as Open asks, and before the definition
    // is made, which a Cancel would otherwise throw away.
    const int tab = tabs.TabForDatabase();
    if (tab < 0)
        return;
    if (!defineForm_->DefineNewDatabase(set))
        return;
    context_.EndRearrange();
    tabs.NewDatabase(tab, path, defineForm_->Definition());
    context_.EnableButtons(true);
    context_.UpdateActiveInfo();
}

void TFileCommands::OpenCommandLine(const QStringList& arguments)
{
    QStringList wanted = arguments;
    if (wanted.isEmpty()) {
        const std::string last = ReadText(*OpenConfig(), settings::LastDatabase);
        if (last.empty())
            return;
        wanted << PathToQString(last);
    }
    OpenRequest(wanted);
}

void TFileCommands::OpenDropped(const QStringList& paths)
{
    OpenRequest(paths);
}

void TFileCommands::OpenRequest(const QStringList& arguments)
{
    std::vector<std::string> paths;
    for (const QString& argument : arguments)
        for (const std::string& path : ExpandDatabaseArgument(QStringToPath(argument)))
            paths.push_back(path);
    ShowOpened(OpenPaths(paths));
}

void TFileCommands::ShowOpened(const TOpened& opened)
{
    TDatabaseTabs& tabs = context_.Tabs();
    // The first database the request opened becomes the active one.
    if (opened.First >= 0)
        tabs.setCurrentIndex(opened.First);
    if (!opened.LeftOut.empty())
        context_.StatusPanel()->setText(
            FromUtf8("All %1 tabs are in use; close one to open more.").arg(TDatabaseTabs::kTabs));
    context_.EnableButtons(tabs.CurrentDB() != nullptr);
    context_.UpdateActiveInfo();
}

TFileCommands::TOpened TFileCommands::OpenPaths(const std::vector<std::string>& paths)
{
    TDatabaseTabs& tabs = context_.Tabs();
    TOpened result;
    // Tabs this request filled or showed: the next file never takes their place.
    std::array<bool, TDatabaseTabs::kTabs> ours{};
    for (size_t k = 0; k < paths.size(); ++k) {
        const std::string& path = paths[k];
        if (const int open = tabs.TabOfFile(path); open >= 0) {
            tabs.setCurrentIndex(open);
            ours[size_t(open)] = true;
            continue;
        }
        const int tab = tabs.TabForDatabase(ours[size_t(tabs.CurrentTab())]);
        if (tab < 0) {
            result.LeftOut.assign(paths.begin() + std::ptrdiff_t(k), paths.end());
            return result;
        }
        // One file that fails to open is reported; the others still open.
        if (OpenInto(tab, path)) {
            ours[size_t(tab)] = true;
            if (result.First < 0)
                result.First = tab;
        }
    }
    return result;
}

bool TFileCommands::OpenInto(int tab, const std::string& path)
{
    bool opened = false;
    RunCommand("FormCreate", [&] {
        RunOnFile(path, [&] { opened = context_.Tabs().LoadDatabase(tab, path); });
        if (opened)
            context_.EnableButtons(true);
    });
    return opened;
}

void TFileCommands::OpenChosenFile(const std::string& path)
{
    if (path.empty())
        return;
    TDatabaseTabs& tabs = context_.Tabs();
    // A file open already is shown where it is: a second open would only
    // find it locked by this very program.
    if (const int open = tabs.TabOfFile(path); open >= 0) {
        tabs.setCurrentIndex(open);
        return;
    }
    const int tab = tabs.TabForDatabase();
    bool opened = false;
    if (tab >= 0)
        RunOnFile(path, [&] { opened = tabs.LoadDatabase(tab, path); });
    if (opened)
        context_.EnableButtons(true);
}

}  // namespace quorvil
