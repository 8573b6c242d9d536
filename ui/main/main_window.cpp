#include "main_window.h"
#include "file_choice.h"

#include "command_guard.h"
#include "command_line.h"
#include "config_store.h"
#include "database_tabs.h"
#include "file_system.h"
#include "form_position.h"
#include "format_settings.h"
#include "message_dialog.h"
#include "modal.h"
#include "recent_files.h"
#include "text_convert.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>

namespace quorvil {

namespace {

const char* const kProgramTitle = "Quorvil 2.0\u00DF";

QWidget* CreatePlaceholder(QWidget* parent)
{
    auto* label = new QLabel(FromUtf8("No database is open.\nUse File \u25B8 Open (Ctrl+O) to open a .PDB file."), parent);
    label->setObjectName(FromUtf8("EmptyPanel"));
    label->setAlignment(Qt::AlignCenter);
    label->setEnabled(false);
    return label;
}

// The icon theme of the desktop, or the bundled set where there is none.
void ChooseIconTheme()
{
    QIcon::setFallbackThemeName(FromUtf8("Tango"));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(FromUtf8("Tango"));
}

}  // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), tabs_(new TDatabaseTabs(this)), centre_(new QStackedWidget(this))
{
    setObjectName(FromUtf8("MainForm"));
    setWindowTitle(FromUtf8(kProgramTitle));
    ChooseIconTheme();
    setWindowIcon(QIcon::fromTheme(FromUtf8("x-office-spreadsheet"), style()->standardIcon(QStyle::SP_FileDialogDetailedView)));
    CreateActions();
    CreateFileMenu();
    CreateEditMenu();
    CreateRecordsMenu();
    CreateDatabaseMenu();
    CreateViewMenu();
    CreateHelpMenu();
    CreateToolBar();
    CreateExchangePopUps();
    CreateStatusLine();
    CreateRecordCommands();
    CreateCopyMenu();
    centre_->addWidget(CreatePlaceholder(centre_));
    centre_->addWidget(tabs_);
    setCentralWidget(centre_);
    resize(1000, 640);
    EnableButtons(false);

    connect(tabs_, &TDatabaseTabs::StatusText, this, &TMainForm::ShowStatus);
    connect(tabs_, &TDatabaseTabs::DatabaseOpened, this, [this](const std::string& path) { recent_->Add(path); });
    connect(tabs_, &TDatabaseTabs::ActiveChanged, this, &TMainForm::UpdateActiveInfo);
    connect(tabs_, &TDatabaseTabs::LastTabClosed, this, [this] {
        centre_->setCurrentIndex(0);
        close();
    });
    qApp->installEventFilter(this);
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

void TMainForm::FormCreate(const QStringList& arguments)
{
    FixFormatSettings(QDate::currentDate().year());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    tabs_->setCurrentIndex(0);
    {
        const std::unique_ptr<TIniFile> ini = OpenConfig();
        SetSnapToDefaultButton(ini->ReadString(kConfigSection, "SnapToDefaultButton") == "1");
        recent_->List().Load(*ini, [](const std::string& path) { return FileExists(path); });
        recent_->Update();
        LoadFormPosition(*ini, *this, FromUtf8("MainForm"));
    }
    created_ = true;
    OpenCommandLine(arguments);
    if (tabs_->TabShown(0))
        tabs_->setCurrentIndex(0);
    Action("AllBtn")->setEnabled(false);
    EnableButtons(tabs_->CurrentDB() != nullptr);
    UpdateActiveInfo();
}

void TMainForm::OpenCommandLine(const QStringList& arguments)
{
    QStringList wanted = arguments;
    if (wanted.isEmpty()) {
        const std::string last = OpenConfig()->ReadString(kConfigSection, "LastDB");
        if (last.empty())
            return;
        wanted << PathToQString(last);
    }
    OpenPaths(wanted);
}

bool TMainForm::OpenPaths(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        for (const std::string& path : ExpandDatabaseArgument(QStringToPath(argument))) {
            if (const int open = tabs_->TabOfFile(path); open >= 0) {
                tabs_->setCurrentIndex(open);
                continue;
            }
            int tab = 0;
            while (tab < TDatabaseTabs::kTabs && tabs_->TabShown(tab))
                ++tab;
            if (tab == TDatabaseTabs::kTabs)
                return false;
            // One file that fails to open is reported; the others still open.
            OpenInto(tab, path);
        }
    }
    return true;
}

bool TMainForm::OpenInto(int tab, const std::string& path)
{
    bool opened = false;
    RunCommand("FormCreate", [&] {
        tabs_->setTabVisible(tab, true);
        opened = tabs_->LoadDatabase(tab, path);
        EnableButtons(true);
    });
    return opened;
}

void TMainForm::FormDestroy()
{
    if (!created_)
        return;
    created_ = false;
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    SaveFormPosition(*ini, *this, objectName());
    for (int tab = 0; tab < TDatabaseTabs::kTabs; ++tab)
        tabs_->SaveColumnWidths(tab, ini.get());
    recent_->List().Save(*ini);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    CommitEditing();
    // FormCloseQuery: the first Cancel (or failed save) keeps the program open.
    for (int tab = 0; tab < TDatabaseTabs::kTabs; ++tab) {
        bool mayClose = false;
        RunCommand("FormCloseQuery", [&] { mayClose = tabs_->AskSave(tab); });
        if (!mayClose) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this)
        return FormKeyDown(*static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::ShortcutOverride && UndoKeyForHistory(watched, *static_cast<QKeyEvent*>(event)))
        return true;  // left unaccepted, so the shortcut fires
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::FormKeyDown(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers mods = key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier
                                                           | Qt::MetaModifier);
    const char* button = nullptr;
    if (key.key() == Qt::Key_Insert && mods == Qt::NoModifier)
        button = "AddBtn";
    else if (key.key() == Qt::Key_H && mods == Qt::ControlModifier)
        button = "ReplaceBtn";
    else if (key.key() == Qt::Key_F && (mods & ~Qt::ShiftModifier) == Qt::ControlModifier)
        button = "FindBtn";  // the character Ctrl+F types, with or without Shift
    if (!button)
        return false;
    // A disabled button ignores the click; the key is consumed all the same.
    Action(button)->trigger();
    return true;
}

void TMainForm::LoadBtnClick()
{
    OpenChosenFile(PickDatabaseFile());
}

bool TMainForm::RefuseOpenFile(const std::string& path)
{
    const int open = tabs_->TabOfFile(path);
    if (open < 0)
        return false;
    MessageDlgButtons(OpenInTabMessage(path, open), mtError, {mbOK}, mbOK);
    return true;
}

void TMainForm::OpenChosenFile(const std::string& path)
{
    if (path.empty())
        return;
    // A file open already is shown where it is: a second open would only
    // find it locked by this very program.
    if (const int open = tabs_->TabOfFile(path); open >= 0) {
        tabs_->setCurrentIndex(open);
        return;
    }
    const int tab = tabs_->TabForOpen();
    if (tab >= 0 && tabs_->LoadDatabase(tab, path))
        EnableButtons(true);
}

void TMainForm::LoadFileItemClick(int k)
{
    RunCommand("LoadFileItemClick", [this, k] {
        const std::vector<std::string>& paths = recent_->List().Paths();
        if (k < 1 || size_t(k) > paths.size())
            return;
        OpenChosenFile(paths[size_t(k - 1)]);
    });
}

void TMainForm::CommitEditing()
{
    if (QWidget* focus = QApplication::focusWidget())
        focus->clearFocus();
    QApplication::processEvents();
}

void TMainForm::SaveBtnClick()
{
    CommitEditing();
    tabs_->SaveDatabase(tabs_->CurrentTab());
}

void TMainForm::CloseBtnClick()
{
    tabs_->CloseCurrentTab();
}

void TMainForm::ExitProgItemClick()
{
    close();
}

void TMainForm::AboutItemClick()
{
    ShowMsg(FromUtf8(kProgramTitle) + FromUtf8("\nAn editor for JFile and JFile Pro databases (.PDB)."), mtInformation);
}

std::string TMainForm::PickDatabaseFile()
{
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    QString directory = PathToQString(ini->ReadString(kConfigSection, "LoadDir"));
    if (directory.isEmpty() || !DirectoryExists(QStringToPath(directory)))
        directory = QDir::currentPath();
    directory = QDir(directory).absolutePath();

    QFileDialog dialog(this, FromUtf8("Select .PDB file to load"), directory,
                       FromUtf8("JFile databases (*.PDB *.pdb);;All files (*)"));
    dialog.setObjectName(FromUtf8("OpenDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (ExecModal(dialog) != QDialog::Accepted)
        return {};
    const QString path = ChosenDatabasePath(dialog, directory);
    if (path.isEmpty())
        return {};
    ini->WriteString(kConfigSection, "LoadDir", QStringToPath(QFileInfo(path).absolutePath()));
    return QStringToPath(QFileInfo(path).absoluteFilePath());
}

void TMainForm::ShowStatus(const QString& text)
{
    panel1_->setText(text);
    // Long work runs on this thread: let the window paint, but take no input.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TMainForm::UpdateActiveInfo()
{
    const TDataBase* db = tabs_->CurrentDB();
    centre_->setCurrentIndex(tabs_->OpenCount() > 0 ? 1 : 0);
    ShowViewButtons();
    if (db)
        EnableButtons(true);  // the active tab's file may be read-only
    if (!db) {
        infoPanel_->clear();
        Action("AllBtn")->setEnabled(false);
        return;
    }
    int shown = 0;
    for (int r = 1; r <= db->RecordCount(); ++r)
        shown += db->GetShown(r);
    // "View all records" is offered exactly while the find filter hides some.
    const bool filtered = shown < db->RecordCount();
    Action("AllBtn")->setEnabled(filtered);
    static const char* const kLayouts[] = {"JFile 3.x", "JFile Pro 4.x", "JFile 5.x", "JFile 5.5"};
    const QString layout = FromUtf8(kLayouts[Number(db->Layout)]);
    const QString count = filtered ? FromUtf8("%1 of %2").arg(shown).arg(db->RecordCount())
                                   : QString::number(db->RecordCount());
    infoPanel_->setText(FromUtf8("%1 %2, %3 %4  |  %5%6")
                            .arg(count)
                            .arg(db->RecordCount() == 1 ? FromUtf8("record") : FromUtf8("records"))
                            .arg(db->FieldCount())
                            .arg(db->FieldCount() == 1 ? FromUtf8("field") : FromUtf8("fields"))
                            .arg(layout)
                            .arg(db->Modified ? FromUtf8("  |  modified") : QString())
                            + (db->ReadOnlyFile() ? FromUtf8("  |  read-only") : QString()));
}

}  // namespace quorvil
